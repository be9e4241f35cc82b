#include "client/ServiceErrors.h"
#include "client/modQuorvel.h"
#include "platform/HttpConnection.h"
#include "standin/FormDecoding.h"
#include "standin/StandInService.h"
#include "support/QtPrinters.h"
#include "support/TestPki.h"
#include "support/TestService.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>

using namespace modQuorvel;
using standin::Fault;
using testsupport::FailureReason;
using testsupport::kAppId;
using testsupport::kKey;

namespace {
// Nothing listens on port 1: an endpoint that must not be the one chosen.
const QString kDeadEndpoint = QStringLiteral("http://127.0.0.1:1/api/trans/vip/translate");
const QString kTooLarge = QStringLiteral("请求失败：服务器回复过大");
const QString kUnrecognised = QStringLiteral("回复无法识别");
} // namespace

TEST(MakeSign, PublishedTestVector) {
    EXPECT_EQ(MakeSign("2015063000000001", "apple", "1435660288", "12345678"),
              "f89f9594663708c1605f3d736d01d2d4");
}

// Every code the service documents, with whether a request refused with it is sent again.
TEST(ServiceErrors, EveryDocumentedCodeHasAMeaningARemedyAndARetryRule) {
    const std::map<QString, bool> expected{
        {"52000", false}, {"52001", true},  {"52002", true},  {"52003", false}, {"54000", false},
        {"54001", false}, {"54003", true},  {"54004", false}, {"54005", true},  {"58000", false},
        {"58001", false}, {"58002", false}, {"90107", false}};
    std::map<QString, bool> listed;
    for (const ServiceErrorCode& entry : ServiceErrorCodes()) {
        listed[entry.code.toString()] = entry.retried;
        const std::string code = entry.code.toString().toStdString();
        EXPECT_FALSE(entry.meaning.isEmpty()) << code;
        EXPECT_NE(std::string(entry.message), "") << code;
        EXPECT_EQ(entry.remedy.isEmpty(), entry.code == u"52000") << code;
        EXPECT_EQ(IsRetriedCode(entry.code), entry.retried) << code;
    }
    EXPECT_EQ(listed, expected);

    EXPECT_EQ(ServiceErrorAdvice(u"54001"),
              "签名错误，App ID与密钥不匹配。请检查App ID与密钥是否正确。");
    EXPECT_EQ(ServiceErrorAdvice(u"54004"), "账户余额已用完。请前往管理控制台为账户充值。");
    EXPECT_EQ(ServiceErrorAdvice(u"58001"),
              "不支持该语言方向。请检查译文语言代码是否在支持的语言列表里。");
    EXPECT_EQ(FindServiceErrorCode(u"54003")->message, std::string("Invalid Access Limit"));
    for (const QString unknown : {"52000", "54002", "", "5400"}) {
        EXPECT_EQ(ServiceErrorAdvice(unknown), std::nullopt) << unknown.toStdString();
        EXPECT_FALSE(IsRetriedCode(unknown)) << unknown.toStdString();
    }
}

// ---- The whole exchange against the stand-in service ----

class TranslateOverHttp : public ::testing::Test {
protected:
    void SetUp() override {
        service.start();
        options.httpEndpoint = QString::fromStdString(service.endpoint());
        options.httpsEndpoint = kDeadEndpoint;
    }
    QString translate(const QString& source, const QString& from = "en", const QString& to = "zh") {
        return TranslateText(source, from, to, kAppId, kKey, false, options).text;
    }
    // What a translation of "apple" shows: the text, the service's error line or why it failed.
    QString shown(bool https = false) {
        QString text;
        const QString reason = FailureReason(
            [&] { text = TranslateText("apple", "en", "zh", kAppId, kKey, https, options).text; });
        return text.isEmpty() ? reason : text;
    }

    standin::StandInService service{testsupport::TestAccount()};
    ConnectionOptions options;
};

TEST_F(TranslateOverHttp, RequestOnTheWireIsOneSignedFormPost) {
    // A lone surrogate is signed and sent as U+FFFD, a pair as one four-byte sequence.
    const QString source =
        QString::fromUtf8("a b&c\r\n中 100%\U0001F600") + QChar(0xD83D) + QStringLiteral("x");
    const TranslateReply reply = TranslateText(source, "auto", "zh", kAppId, kKey, false, options);
    // The service decoded q back to the signed text: no 54001.
    EXPECT_FALSE(reply.serviceError) << reply.text.toStdString();
    EXPECT_EQ(reply.text.split(QStringLiteral("\r\n")).size(), 2);

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    const standin::RecordedRequest& request = requests.front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, standin::kTranslatePath);
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.header("Content-Length"), std::to_string(request.body.size()));

    const QRegularExpression fields(QStringLiteral(
        "^q=a\\+b%26c\r\n%E4%B8%AD\\+100%25%F0%9F%98%80%EF%BF%BDx&appid=20260101000000001"
        "&salt=(0[0-9]*)&from=auto&to=zh&sign=([0-9a-f]{32})$"));
    const QRegularExpressionMatch match = fields.match(QString::fromStdString(request.body));
    ASSERT_TRUE(match.hasMatch()) << request.body;
    const QString signedText = QString::fromUtf8("a b&c\r\n中 100%\U0001F600\uFFFDx");
    EXPECT_EQ(match.captured(2).toLatin1(),
              QCryptographicHash::hash((kAppId + signedText + match.captured(1) + kKey).toUtf8(),
                                       QCryptographicHash::Md5)
                  .toHex());
    EXPECT_EQ(request.body.find(kKey.toStdString()), std::string::npos);
}

// A "%" typed is no escape: whatever the text, the service decodes q to exactly the text that was
// signed, and the App ID, with the form's own characters in it, to the App ID as stored.
TEST_F(TranslateOverHttp, TheServiceDecodesExactlyTheSignedTextAndAppId) {
    for (const QString text :
         {"100%", "%41", "a%20b", "%%", "%E4%BD%A0", "%", "%zz%4", "中%E4", "50% +1 %2B"}) {
        const TranslateReply reply = TranslateText(text, "en", "zh", kAppId, kKey, false, options);
        EXPECT_EQ(reply.text, "译：" + text); // 54001 when q decodes to other text than was signed
        const auto requests = service.requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(standin::DecodeFormFields(requests.back().body)["q"], text.toStdString());
    }

    const QString appId = QStringLiteral("20&26=01+0%41 x");
    standin::ServiceOptions account;
    account.accounts = {{appId.toStdString(), kKey.toStdString()}};
    standin::StandInService other(account);
    other.start();
    options.httpEndpoint = QString::fromStdString(other.endpoint());
    EXPECT_EQ(TranslateText("apple", "en", "zh", appId, kKey, false, options).text, "苹果");
    ASSERT_EQ(other.requests().size(), 1u);
    EXPECT_NE(other.requests()[0].body.find("&appid=20%2626%3D01%2B0%2541+x&salt="),
              std::string::npos)
        << other.requests()[0].body;
}

// Replies as the service writes them, and as a broken or hostile server might.
TEST_F(TranslateOverHttp, EachReplyIsShownOnlyWhenItIsOneTheServiceGives) {
    const struct {
        int status;
        const char* body;
        QString shown;
    } cases[] = {
        {200,
         R"({"from":"zh","to":"en","trans_result":[{"src":"a","dst":"\u4f60\u597d"},)"
         R"({"src":"b","dst":"\u4e16\u754c"}]})",
         "你好\r\n世界"},
        {200, R"({"trans_result":[{"dst":""},{"dst":"x"},{"dst":""}]})", "\r\nx\r\n"},
        // Every JSON escape, a surrogate pair, a literal backslash before "u", and a value
        // ending in an escaped backslash that must not run into the next one; a line break
        // inside a result becomes a space.
        {200,
         R"({"trans_result":[{"dst":"a\"b\/\ne\tf \u5bf9\ud83d\ude00 \\u4e2d\\"},{"dst":"b"}]})",
         "a\"b/ e\tf 对\U0001F600 \\u4e2d\\\r\nb"},
        // Only a top-level error_code, string or number, makes the error line, whatever the
        // status; the success code beside results, or no code at all, does not.
        {200, R"({"trans_result":[{"src":"error_code","dst":"\"error_code\""}]})",
         "\"error_code\""},
        {200, R"({"error_code":"54001","error_msg":"Invalid Sign"})",
         "错误代码:54001,说明:Invalid Sign"},
        {500, R"({"error_code":123,"error_msg":"abc"})", "错误代码:123,说明:abc"},
        {200, R"({"error_code":"52003"})", "错误代码:52003"},
        {200, R"({"error_code":"52003","error_msg":null})", "错误代码:52003"},
        {200, R"({"error_code":"52000","error_msg":"success","trans_result":[{"dst":"y"}]})", "y"},
        {200, R"({"error_code":null,"trans_result":[{"dst":"y"}]})", "y"},
        // Anything else is refused rather than shown as a translation or as blank lines.
        {500, R"({"trans_result":[{"dst":"y"}]})", "服务器返回HTTP状态500"},
        {200, "<html>OK</html>", kUnrecognised},
        {200, R"([{"dst":"y"}])", kUnrecognised},
        {200, R"({"trans_result":[]})", kUnrecognised},
        {200, R"({"trans_result":{"dst":"y"}})", kUnrecognised},
        {200, R"({"trans_result":[{"dst":"y"},{"src":"b"}]})", kUnrecognised},
        {200, R"({"trans_result":[{"dst":1}]})", kUnrecognised},
        {200, R"({"error_code":null,"error_msg":"x"})", kUnrecognised},
        {200, R"({"error_code":"52000","error_msg":"success"})", kUnrecognised},
    };
    for (const auto& c : cases) {
        service.setReply(c.status, c.body);
        TranslateReply reply;
        const QString reason = FailureReason(
            [&] { reply = TranslateText("apple", "en", "zh", kAppId, kKey, false, options); });
        EXPECT_EQ(reply.text.isEmpty() ? reason : reply.text, c.shown) << c.status << c.body;
        EXPECT_EQ(reply.serviceError, c.shown.startsWith("错误代码")) << c.body;
    }
}

// Typed codes are encoded, so they add no fields and are unknown codes; an empty text is sent.
TEST_F(TranslateOverHttp, TypedCodesAddNoFieldsAndAnEmptyTextIsStillSent) {
    EXPECT_EQ(translate("apple", "z h+中"), "错误代码:58001,说明:INVALID_TO_PARAM");
    EXPECT_EQ(translate("apple", "en", "zh&appid=1&q=x"), "错误代码:58001,说明:INVALID_TO_PARAM");
    EXPECT_EQ(translate(""), "错误代码:54000,说明:PARAM_FROM_TO_OR_Q_EMPTY");
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[0].body.find("&from=z+h%2B%E4%B8%AD&to=zh&sign="), std::string::npos);
    EXPECT_NE(requests[1].body.find("&from=en&to=zh%26appid%3D1%26q%3Dx&sign="), std::string::npos);
    EXPECT_EQ(requests[2].body.rfind("q=&appid=", 0), 0u);
}

TEST_F(TranslateOverHttp, EachFailureNamesWhatFailed) {
    // Only the faults that hold the exchange up meet a short time-out; every other one must fail
    // for its own reason, however slow a busy machine makes the exchange.
    const auto timeOutFor = [](Fault fault) {
        return fault == Fault::Delay || fault == Fault::Drip ? std::chrono::milliseconds(500)
                                                             : ConnectionOptions().totalTimeout;
    };
    const struct {
        Fault fault;
        int delayMs, status;
        QString reason;
    } cases[] = {
        {Fault::Redirect, 0, 500, "服务器返回HTTP状态302"}, // and not followed
        {Fault::InvalidUtf8Body, 0, 500, kUnrecognised},
        {Fault::NotHttp, 0, 500, "请求失败：服务器的回复无法识别（不是HTTP回复）"},
        {Fault::Delay, 5000, 500, "请求失败：请求超时"},
        // A byte every 100 ms keeps the connection busy past the whole exchange's time-out.
        {Fault::Drip, 100, 500, "请求失败：请求超时"},
        {Fault::CloseWithoutAnswer, 0, 500, "请求失败：服务器未回复即关闭了连接"},
        {Fault::CloseMidReply, 0, 500, "请求失败：连接中断"},
        {Fault::HugeReply, 0, 500, kTooLarge}, // 10 MB
    };
    for (const auto& c : cases) {
        service.setFault(c.fault, std::chrono::milliseconds(c.delayMs), c.status);
        options.totalTimeout = timeOutFor(c.fault);
        EXPECT_EQ(shown(), c.reason) << static_cast<int>(c.fault);
    }
    options.totalTimeout = ConnectionOptions().totalTimeout;
    service.setFault(Fault::None);
    EXPECT_EQ(translate("apple"), "苹果");

    // The reply limit is exact, and a reply within it comes back whole, however large: all but
    // the JSON around its one dst value.
    constexpr qint64 kFrame =
        sizeof R"({"from":"en","to":"zh","trans_result":[{"src":"huge","dst":""}]})" - 1;
    options.maxReplyBytes = 1 << 20;
    service.setFault(Fault::HugeReply, {}, 500, 1 << 20);
    EXPECT_EQ(translate("apple"), QString((1 << 20) - kFrame, u'x'));
    service.setFault(Fault::HugeReply, {}, 500, (1 << 20) + 1);
    EXPECT_EQ(shown(), kTooLarge);

    // Meant for HTTPS, an address that is not https:// is used only on this machine.
    service.setFault(Fault::None);
    options.httpsEndpoint =
        QStringLiteral("http://localhost:%1/api/trans/vip/translate").arg(service.port());
    EXPECT_EQ(shown(true), "苹果");
    options.httpsEndpoint = QStringLiteral("http://fanyi-api.baidu.com/api/trans/vip/translate");
    EXPECT_EQ(shown(true), "设置文件中的HTTPS服务地址不是https://地址，为免明文传输，请求未发送："
                           "http://fanyi-api.baidu.com/api/trans/vip/translate");

    service.stop();
    EXPECT_EQ(shown(), "请求失败：无法连接到服务器");
    options.httpEndpoint = QStringLiteral("http://name.invalid/api/trans/vip/translate");
    EXPECT_EQ(shown(), "请求失败：找不到服务器");
}

TEST(TranslateOverHttps, OnlyACertificateOfATrustedCaForThisHostIsAccepted) {
    QTemporaryDir folder;
    const testsupport::TestPki pki = testsupport::MakeTestPki(folder.path().toStdString());
    ConnectionOptions options;
    options.httpEndpoint = kDeadEndpoint;
    options.extraCaFile = QString::fromStdString(pki.caCert);
    // What a translation over TLS with `cert` shows, and how many requests reached the service.
    const auto over = [&](const std::string& cert, const std::string& key) {
        standin::ServiceOptions tls = testsupport::TestAccount();
        tls.certFile = cert;
        tls.keyFile = key;
        standin::StandInService service(tls);
        service.start();
        options.httpsEndpoint = QString::fromStdString(service.endpoint());
        QString text;
        const QString reason = FailureReason(
            [&] { text = TranslateText("apple", "en", "zh", kAppId, kKey, true, options).text; });
        return std::make_pair(text.isEmpty() ? reason : text, service.requests().size());
    };
    EXPECT_EQ(over(pki.serverCert, pki.serverKey), std::make_pair(QString("苹果"), std::size_t{1}));
    // Refused before the signed request goes out.
    const auto refused =
        std::make_pair(QStringLiteral("请求失败：服务器证书验证失败"), std::size_t{0});
    EXPECT_EQ(over(pki.selfSignedCert, pki.selfSignedKey), refused);
    EXPECT_EQ(over(pki.otherHostCert, pki.otherHostKey), refused);
    options.extraCaFile.clear();
    EXPECT_EQ(over(pki.serverCert, pki.serverKey), refused)
        << "the system store must not know the test CA";
}

// One connection kept for both translations; once the service behind its address has changed,
// the next translation opens it anew and checks the certificate again: a session kept from the
// trusted service lets no other certificate through.
TEST(TranslateOverHttps, AKeptConnectionServesTranslationsAndChecksEachNewCertificate) {
    QTemporaryDir folder;
    const testsupport::TestPki pki = testsupport::MakeTestPki(folder.path().toStdString());
    platform::HttpConnection connection;
    ConnectionOptions options;
    options.httpEndpoint = kDeadEndpoint;
    options.extraCaFile = QString::fromStdString(pki.caCert);
    options.connection = &connection;
    std::optional<standin::StandInService> service;
    const auto serve = [&](const std::string& cert, const std::string& key, int port) {
        standin::ServiceOptions tls = testsupport::TestAccount();
        tls.certFile = cert;
        tls.keyFile = key;
        service.reset();
        service.emplace(tls);
        return service->start("127.0.0.1", port);
    };
    const auto shown = [&] {
        QString text;
        const QString reason = FailureReason(
            [&] { text = TranslateText("apple", "en", "zh", kAppId, kKey, true, options).text; });
        return text.isEmpty() ? reason : text;
    };
    const int port = serve(pki.serverCert, pki.serverKey, 0);
    options.httpsEndpoint = QString::fromStdString(service->endpoint());
    EXPECT_EQ(shown(), "苹果");
    EXPECT_EQ(shown(), "苹果");
    EXPECT_EQ(service->connections(), 1);

    const QString refused = QStringLiteral("请求失败：服务器证书验证失败");
    for (const auto& [cert, key] : {std::pair(pki.otherHostCert, pki.otherHostKey),
                                    std::pair(pki.selfSignedCert, pki.selfSignedKey)}) {
        serve(cert, key, port);
        EXPECT_EQ(shown(), refused) << cert;
        EXPECT_EQ(service->requests().size(), 0u) << cert;
    }
    serve(pki.serverCert, pki.serverKey, port);
    EXPECT_EQ(shown(), "苹果");
    serve(pki.serverCert, pki.serverKey, port);
    options.extraCaFile.clear();
    EXPECT_EQ(shown(), refused) << "the system store must not know the test CA";
}
