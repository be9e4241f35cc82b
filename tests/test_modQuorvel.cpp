#include "client/modQuorvel.h"
#include "standin/StandInService.h"
#include "support/QtPrinters.h"
#include "support/TestPki.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace modQuorvel;

namespace {

const QString kAppId = QStringLiteral("2015063000000001");
const QString kKey = QStringLiteral("12345678");
// Nothing listens on port 1: an endpoint that must not be the one chosen.
const QString kDeadEndpoint = QStringLiteral("http://127.0.0.1:1/api/trans/vip/translate");

QString FailureReason(const std::function<void()>& action) {
    try {
        action();
    } catch (const TranslateFailure& failure) {
        return failure.reason();
    }
    return QStringLiteral("(no failure)");
}

QString ReasonOfFailure(const QByteArray& body, long status) {
    return FailureReason([&] { InterpretReply(body, status); });
}

standin::ServiceOptions Accounts(int maxRequestsPerSecond = 0) {
    standin::ServiceOptions options;
    options.accounts = {{kAppId.toStdString(), kKey.toStdString()}};
    options.maxRequestsPerSecond = maxRequestsPerSecond;
    return options;
}

} // namespace

// ---- Request composition ----

TEST(MakeSign, PublishedTestVector) {
    EXPECT_EQ(MakeSign(QStringLiteral("2015063000000001"), QStringLiteral("apple"),
                       QStringLiteral("1435660288"), QStringLiteral("12345678")),
              QStringLiteral("f89f9594663708c1605f3d736d01d2d4"));
}

TEST(MakeSalt, IsDigitsOnlyAndFreshFromCallToCall) {
    const QRegularExpression shape(QStringLiteral("^0[0-9]*$"));
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i) {
        const QString salt = MakeSalt();
        EXPECT_TRUE(shape.match(salt).hasMatch()) << salt.toStdString();
        seen.insert(salt);
    }
    EXPECT_GT(seen.size(), 1);
}

// ---- Reply interpretation ----

TEST(InterpretReply, JoinsEveryDstValueWithLineBreaks) {
    const TranslateReply reply =
        InterpretReply(R"({"from":"zh","to":"en","trans_result":[{"src":"a","dst":"\u4f60\u597d"},)"
                       R"({"src":"b","dst":"\u4e16\u754c"}]})",
                       200);
    EXPECT_EQ(reply.text, QStringLiteral("你好\r\n世界"));
    EXPECT_FALSE(reply.serviceError);

    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"x"}]})", 200).text, QStringLiteral("x"));
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"x"},{"dst":""},{"dst":"y"}]})", 200).text,
              QStringLiteral("x\r\n\r\ny"));
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":""},{"dst":"x"}]})", 200).text,
              QStringLiteral("\r\nx"));
    EXPECT_EQ(InterpretReply(R"({"from":"en","to":"zh","trans_result":[]})", 200).text, QString());
}

TEST(InterpretReply, DecodesEveryJsonEscape) {
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"a\"b\\c\/d\ne\tf"}]})", 200).text,
              QStringLiteral("a\"b\\c/d\ne\tf"));
    // A run of escapes, a surrogate pair, and a literal backslash before "u".
    EXPECT_EQ(InterpretReply(
                  R"({"trans_result":[{"dst":"\u5bf9\u4e0d\u8d77 \ud83d\ude00 \\u4e2d"}]})", 200)
                  .text,
              QString::fromUtf8("对不起 \U0001F600 \\u4e2d"));
    // A value ending in an escaped backslash does not run into the next one.
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"a\\"},{"dst":"b"}]})", 200).text,
              QStringLiteral("a\\\r\nb"));
}

TEST(InterpretReply, ErrorCodeGivesTheErrorLine) {
    const TranslateReply reply =
        InterpretReply(R"({"error_code":"54001","error_msg":"Invalid Sign"})", 200);
    EXPECT_EQ(reply.text, QStringLiteral("错误代码:54001,说明:Invalid Sign"));
    EXPECT_TRUE(reply.serviceError);

    EXPECT_EQ(InterpretReply(R"({"error_code":123,"error_msg":"abc"})", 200).text,
              QStringLiteral("错误代码:123,说明:abc"));
    EXPECT_EQ(InterpretReply(R"({"error_code":"52003"})", 200).text,
              QStringLiteral("错误代码:52003,说明:"));
    EXPECT_EQ(InterpretReply(R"({"error_code":"58001","error_msg":"a\/b \u4e2d"})", 200).text,
              QStringLiteral("错误代码:58001,说明:a/b 中"));
}

TEST(InterpretReply, ErrorCodeInsideATranslationIsJustText) {
    const TranslateReply reply =
        InterpretReply(R"({"trans_result":[{"src":"error_code","dst":"\"error_code\""}]})", 200);
    EXPECT_EQ(reply.text, QStringLiteral("\"error_code\""));
    EXPECT_FALSE(reply.serviceError);
}

TEST(InterpretReply, HttpStatusIsNotLookedAtForAJsonObject) {
    EXPECT_EQ(InterpretReply(R"({"trans_result":[{"dst":"ok"}]})", 500).text, QStringLiteral("ok"));
    EXPECT_EQ(InterpretReply(R"({"error_code":"52001","error_msg":"TIMEOUT"})", 503).text,
              QStringLiteral("错误代码:52001,说明:TIMEOUT"));
}

TEST(InterpretReply, UnrecognisedRepliesFailWithTheHttpStatus) {
    EXPECT_EQ(ReasonOfFailure("<html>Bad Gateway</html>", 502),
              QStringLiteral("无法识别的服务回复(HTTP 502)"));
    EXPECT_EQ(ReasonOfFailure(R"([{"dst":"x"}])", 200),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
    EXPECT_EQ(ReasonOfFailure(R"({"from":"en","to":"zh"})", 200),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
    EXPECT_EQ(ReasonOfFailure(R"({"trans_result":[{"dst":"unterminated)", 200),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
}

// ---- The whole exchange against the stand-in service over plain HTTP ----

class TranslateOverHttp : public ::testing::Test {
protected:
    void SetUp() override {
        service.start();
        options.httpEndpoint = QString::fromStdString(service.endpoint());
        options.httpsEndpoint = kDeadEndpoint;
    }

    QString Translate(const QString& source, const QString& from = QStringLiteral("en"),
                      const QString& to = QStringLiteral("zh"), const QString& appId = kAppId,
                      const QString& key = kKey) {
        return TranslateText(source, from, to, appId, key, false, options);
    }

    QString TranslateFailureReason(const QString& source) {
        return FailureReason([&] { Translate(source); });
    }

    standin::StandInService service{Accounts()};
    ConnectionOptions options;
};

TEST_F(TranslateOverHttp, RequestOnTheWireIsOneSignedFormPost) {
    // A lone surrogate is signed and sent as U+FFFD, a pair as one four-byte sequence.
    const QString source =
        QString::fromUtf8("a b&c\r\n中 100%\U0001F600") + QChar(0xD83D) + QStringLiteral("x");
    const TranslateReply reply = RequestTranslation(
        source, QStringLiteral("auto"), QStringLiteral("zh"), kAppId, kKey, false, options);
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
        "^q=a\\+b%26c\r\n%E4%B8%AD\\+100%%F0%9F%98%80%EF%BF%BDx&appid=2015063000000001"
        "&salt=(0[0-9]*)&from=auto&to=zh&sign=([0-9a-f]{32})$"));
    const QRegularExpressionMatch match = fields.match(QString::fromStdString(request.body));
    ASSERT_TRUE(match.hasMatch()) << request.body;
    EXPECT_EQ(match.captured(2), MakeSign(kAppId, source, match.captured(1), kKey));
    EXPECT_EQ(request.body.find(kKey.toStdString()), std::string::npos);
}

TEST_F(TranslateOverHttp, EveryLineComesBackAsItsOwnLine) {
    EXPECT_EQ(Translate(QStringLiteral("hello\r\nworld\napple")),
              QStringLiteral("你好\r\n世界\r\n苹果"));
    EXPECT_EQ(Translate(QStringLiteral("你好\r\n世界"), QStringLiteral("zh"), QStringLiteral("en")),
              QStringLiteral("hello\r\nworld"));
    EXPECT_EQ(Translate(QStringLiteral("apple"), QStringLiteral("auto")), QStringLiteral("苹果"));
}

TEST_F(TranslateOverHttp, ServiceErrorsComeBackAsTheErrorLine) {
    const TranslateReply wrongSign =
        RequestTranslation(QStringLiteral("apple"), QStringLiteral("en"), QStringLiteral("zh"),
                           kAppId, QStringLiteral("wrong key"), false, options);
    EXPECT_EQ(wrongSign.text, QStringLiteral("错误代码:54001,说明:Invalid Sign"));
    EXPECT_TRUE(wrongSign.serviceError);

    EXPECT_EQ(Translate(QStringLiteral("apple"), QStringLiteral("en"), QStringLiteral("zh"),
                        QStringLiteral("2015063000000009")),
              QStringLiteral("错误代码:52003,说明:UNAUTHORIZED USER"));
    EXPECT_EQ(Translate(QStringLiteral("apple"), QString()),
              QStringLiteral("错误代码:54000,说明:PARAM_FROM_TO_OR_Q_EMPTY"));
    EXPECT_EQ(Translate(QStringLiteral("apple"), QStringLiteral("en"), QStringLiteral("auto")),
              QStringLiteral("错误代码:58001,说明:INVALID_TO_PARAM"));
    EXPECT_EQ(Translate(QStringLiteral("apple"), QStringLiteral("en"), QStringLiteral("fr")),
              QStringLiteral("错误代码:58001,说明:INVALID_TO_PARAM"));

    // An empty source text is still sent, q empty.
    service.clearRequests();
    EXPECT_EQ(Translate(QString()), QStringLiteral("错误代码:54000,说明:PARAM_FROM_TO_OR_Q_EMPTY"));
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(service.requests().front().body.rfind("q=&appid=", 0), 0u);
}

TEST(TranslateRateLimit, SecondQuickRequestGives54003) {
    standin::StandInService limited(Accounts(1));
    limited.start();
    ConnectionOptions options;
    options.httpEndpoint = QString::fromStdString(limited.endpoint());
    const auto translate = [&] {
        return TranslateText(QStringLiteral("apple"), QStringLiteral("en"), QStringLiteral("zh"),
                             kAppId, kKey, false, options);
    };
    EXPECT_EQ(translate(), QStringLiteral("苹果"));
    EXPECT_EQ(translate(), QStringLiteral("错误代码:54003,说明:Invalid Access Limit"));
}

TEST_F(TranslateOverHttp, RedirectIsNotFollowed) {
    service.setFault(standin::Fault::Redirect);
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")),
              QStringLiteral("无法识别的服务回复(HTTP 302)"));
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(service.requests().front().path, standin::kTranslatePath);
}

TEST_F(TranslateOverHttp, UnrecognisedRepliesFail) {
    service.setFault(standin::Fault::NonJsonBody);
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")),
              QStringLiteral("无法识别的服务回复(HTTP 200)"));
    service.setFault(standin::Fault::HttpErrorStatus, {}, 502);
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")),
              QStringLiteral("无法识别的服务回复(HTTP 502)"));
}

TEST_F(TranslateOverHttp, TransportFailuresNameWhatFailed) {
    options.totalTimeout = std::chrono::milliseconds(200);
    service.setFault(standin::Fault::Delay, std::chrono::milliseconds(5000));
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")), QStringLiteral("请求失败:请求超时"));

    service.setFault(standin::Fault::CloseWithoutAnswer);
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")),
              QStringLiteral("请求失败:服务器未回复即关闭了连接"));

    service.stop();
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")),
              QStringLiteral("请求失败:无法连接到服务器"));

    options.httpEndpoint = QStringLiteral("http://name.invalid/api/trans/vip/translate");
    EXPECT_EQ(TranslateFailureReason(QStringLiteral("apple")),
              QStringLiteral("请求失败:找不到服务器"));
}

// ---- HTTPS with a test CA made for the run ----

class TranslateOverHttps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        pki = testsupport::MakeTestPki(folder.path().toStdString());
        options.httpEndpoint = kDeadEndpoint;
        options.extraCaFile = QString::fromStdString(pki.caCert);
    }

    QString Translate(const std::string& certFile, const std::string& keyFile) {
        standin::ServiceOptions serviceOptions = Accounts();
        serviceOptions.certFile = certFile;
        serviceOptions.keyFile = keyFile;
        standin::StandInService service(serviceOptions);
        service.start();
        options.httpsEndpoint = QString::fromStdString(service.endpoint());
        return TranslateText(QStringLiteral("apple"), QStringLiteral("en"), QStringLiteral("zh"),
                             kAppId, kKey, true, options);
    }

    QString FailureOver(const std::string& certFile, const std::string& keyFile) {
        return FailureReason([&] { Translate(certFile, keyFile); });
    }

    QTemporaryDir folder;
    testsupport::TestPki pki;
    ConnectionOptions options;
};

TEST_F(TranslateOverHttps, CertificateSignedByTrustedCaSucceeds) {
    EXPECT_EQ(Translate(pki.serverCert, pki.serverKey), QStringLiteral("苹果"));
}

TEST_F(TranslateOverHttps, UntrustedOrWrongHostCertificateFails) {
    const QString refused = QStringLiteral("请求失败:服务器证书验证失败");
    EXPECT_EQ(FailureOver(pki.selfSignedCert, pki.selfSignedKey), refused);
    EXPECT_EQ(FailureOver(pki.otherHostCert, pki.otherHostKey), refused);
    options.extraCaFile.clear();
    EXPECT_EQ(FailureOver(pki.serverCert, pki.serverKey), refused)
        << "the system store must not know the test CA";
}

TEST_F(TranslateOverHttps, UnreadableExtraCaFileFails) {
    options.extraCaFile = folder.filePath(QStringLiteral("missing.pem"));
    EXPECT_EQ(FailureOver(pki.serverCert, pki.serverKey),
              QStringLiteral("请求失败:无法读取证书文件:") + options.extraCaFile);
}
