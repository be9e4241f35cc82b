#include "standin/StandInService.h"
#include "support/TestPki.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QProcess>
#include <QTemporaryDir>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <map>
#include <string>

using standin::AnswerTranslateRequest;
using standin::Fault;
using standin::StandInService;

namespace {

using Fields = std::map<std::string, std::string>;

const std::string kAppId = "2015063000000001";
const std::string kKey = "12345678";
const std::string kSalt = "1435660288";
const Fields kAccounts{{kAppId, kKey}, {"20260101000000002", "OtherKey"}};

std::string Sign(const std::string& appid, const std::string& q, const std::string& salt,
                 const std::string& key) {
    return QCryptographicHash::hash(QByteArray::fromStdString(appid + q + salt + key),
                                    QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

Fields SignedFields(const std::string& q, const std::string& from, const std::string& to) {
    return {{"q", q},          {"from", from},  {"to", to},
            {"appid", kAppId}, {"salt", kSalt}, {"sign", Sign(kAppId, q, kSalt, kKey)}};
}

std::string ErrorJson(const std::string& code, const std::string& message) {
    return R"({"error_code":")" + code + R"(","error_msg":")" + message + R"("})";
}

// A form body in the client's field order, q percent-encoded byte by byte.
std::string SignedBody(const std::string& q, const std::string& from = "en",
                       const std::string& to = "zh", const std::string& appid = kAppId,
                       const std::string& key = kKey) {
    return "q=" + QByteArray::fromStdString(q).toPercentEncoding().toStdString() +
           "&appid=" + appid + "&salt=" + kSalt + "&from=" + from + "&to=" + to +
           "&sign=" + Sign(appid, q, kSalt, key);
}

// A bare libcurl exchange, so the service is checked independently of our own client.
struct HttpReply {
    CURLcode result = CURLE_OK;
    long status = 0;
    std::string body;
    std::string location;
};

struct Exchange {
    const std::string* postBody = nullptr; // nullptr: GET
    std::string caFile;
    std::string contentType = "application/x-www-form-urlencoded";
    bool followRedirects = false;
    long timeoutMs = 10000;
};

std::size_t AppendTo(char* data, std::size_t size, std::size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

HttpReply Send(const std::string& url, const Exchange& exchange = {}) {
    HttpReply reply;
    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "X-Probe: Quorvel");
    headers = curl_slist_append(headers, ("Content-Type: " + exchange.contentType).c_str());
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    if (exchange.postBody != nullptr) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, exchange.postBody->c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(exchange.postBody->size()));
    }
    if (!exchange.caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, exchange.caFile.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, exchange.followRedirects ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, exchange.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendTo);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    reply.result = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    char* location = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location) {
        reply.location = location;
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}

HttpReply Post(const std::string& url, const std::string& body, Exchange exchange = {}) {
    exchange.postBody = &body;
    return Send(url, exchange);
}

bool IsTranslation(const HttpReply& reply) {
    return reply.body.rfind(R"({"from":"en","to":"zh","trans_result":[{"src":)", 0) == 0;
}

} // namespace

// --- the answer to decoded fields ---

TEST(AnswerTranslateRequest, PublishedSignVectorIsAcceptedWithTheExactReply) {
    const Fields fields{{"q", "apple"},  {"from", "en"},
                        {"to", "zh"},    {"appid", kAppId},
                        {"salt", kSalt}, {"sign", "f89f9594663708c1605f3d736d01d2d4"}};
    EXPECT_EQ(AnswerTranslateRequest(fields, kAccounts),
              R"({"from":"en","to":"zh","trans_result":[{"src":"apple","dst":"\u82f9\u679c"}]})");
}

TEST(AnswerTranslateRequest, EmptyOrMissingFieldGives54000) {
    const std::string expected = ErrorJson("54000", "PARAM_FROM_TO_OR_Q_EMPTY");
    for (const char* name : {"q", "from", "to", "appid", "salt", "sign"}) {
        Fields fields = SignedFields("apple", "en", "zh");
        fields[name].clear();
        EXPECT_EQ(AnswerTranslateRequest(fields, kAccounts), expected) << name << " empty";
        fields.erase(name);
        EXPECT_EQ(AnswerTranslateRequest(fields, kAccounts), expected) << name << " missing";
    }
}

TEST(AnswerTranslateRequest, ChecksComeInTheServiceOrder) {
    Fields unknown = SignedFields("apple", "en", "fr");
    unknown["appid"] = "2015063000000009";
    EXPECT_EQ(AnswerTranslateRequest(unknown, kAccounts), ErrorJson("52003", "UNAUTHORIZED USER"));
    unknown["to"] = "";
    EXPECT_EQ(AnswerTranslateRequest(unknown, kAccounts),
              ErrorJson("54000", "PARAM_FROM_TO_OR_Q_EMPTY"));

    const std::string wrongSign = ErrorJson("54001", "Invalid Sign");
    Fields encodedQSigned = SignedFields("a b", "en", "fr");
    encodedQSigned["sign"] = Sign(kAppId, "a+b", kSalt, kKey);
    EXPECT_EQ(AnswerTranslateRequest(encodedQSigned, kAccounts), wrongSign);
    Fields upperCaseSign = SignedFields("apple", "en", "zh");
    upperCaseSign["sign"] =
        QByteArray::fromStdString(upperCaseSign["sign"]).toUpper().toStdString();
    EXPECT_EQ(AnswerTranslateRequest(upperCaseSign, kAccounts), wrongSign);
    Fields blankInKey = SignedFields("apple", "en", "zh");
    blankInKey["sign"] = Sign(kAppId, "apple", kSalt, kKey + " ");
    EXPECT_EQ(AnswerTranslateRequest(blankInKey, kAccounts), wrongSign);

    const std::string badLanguage = ErrorJson("58001", "INVALID_TO_PARAM");
    for (const auto& [from, to] : std::map<std::string, std::string>{
             {"en", "auto"}, {"auto", "fr"}, {"ja", "zh"}, {"en ", "zh"}, {"zh", "EN"}}) {
        EXPECT_EQ(AnswerTranslateRequest(SignedFields("apple", from, to), kAccounts), badLanguage)
            << from << "->" << to;
    }
}

TEST(AnswerTranslateRequest, EscapesNonAsciiUnitsSlashQuotesAndControlCharacters) {
    const std::string q = "a/b \"c\" \\ \t\x01 \xF0\x9F\x98\x80\xE4\xB8\xAD"; // ... 😀中
    const std::string escaped = R"(a\/b \"c\" \\ \t\u0001 \ud83d\ude00\u4e2d)";
    EXPECT_EQ(AnswerTranslateRequest(SignedFields(q, "en", "zh"), kAccounts),
              R"({"from":"en","to":"zh","trans_result":[{"src":")" + escaped +
                  R"(","dst":"\u8bd1\uff1a)" + escaped + R"("}]})");
}

TEST(AnswerTranslateRequest, EveryLineOfQGetsItsOwnElementInOrder) {
    EXPECT_EQ(AnswerTranslateRequest(SignedFields("Hello\r\nworld\n\n thank you \n", "auto", "zh"),
                                     kAccounts),
              R"({"from":"en","to":"zh","trans_result":[)"
              R"({"src":"Hello","dst":"\u4f60\u597d"},{"src":"world","dst":"\u4e16\u754c"},)"
              R"({"src":"","dst":""},{"src":" thank you ","dst":"\u8c22\u8c22"},)"
              R"({"src":"","dst":""}]})");
}

TEST(AnswerTranslateRequest, DetectsChineseAndTranslatesBackOrByStandInRule) {
    EXPECT_EQ(AnswerTranslateRequest(SignedFields("\xE4\xBD\xA0\xE5\xA5\xBD\ncat", "auto", "en"),
                                     kAccounts),
              R"({"from":"zh","to":"en","trans_result":[)"
              R"({"src":"\u4f60\u597d","dst":"hello"},{"src":"cat","dst":"EN: cat"}]})");
    EXPECT_EQ(AnswerTranslateRequest(SignedFields("apple", "en", "jp"), kAccounts),
              R"({"from":"en","to":"jp","trans_result":[{"src":"apple","dst":"[jp] apple"}]})");
}

// --- over real sockets ---

class StandInOverHttp : public ::testing::Test {
protected:
    void SetUp() override { service.start(); }
    std::string url() const { return service.endpoint(); }

    StandInService service{{kAccounts, 0, {}, {}}};
};

TEST_F(StandInOverHttp, PostIsRecordedExactlyAndDecodedWithFormRules) {
    // "a b&c" CR LF 中, encoded the way the client does it: '+' for the blank.
    const std::string q = "a b&c\r\n\xE4\xB8\xAD";
    const std::string body = "q=a+b%26c%0D%0A%E4%B8%AD&appid=" + kAppId + "&salt=" + kSalt +
                             "&from=auto&to=en&sign=" + Sign(kAppId, q, kSalt, kKey);
    const HttpReply reply = Post(url(), body);

    ASSERT_EQ(reply.result, CURLE_OK);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body,
              R"({"from":"zh","to":"en","trans_result":[)"
              R"({"src":"a b&c","dst":"EN: a b&c"},{"src":"\u4e2d","dst":"EN: \u4e2d"}]})");
    const auto recorded = service.requests();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].method, "POST");
    EXPECT_EQ(recorded[0].path, "/api/trans/vip/translate");
    EXPECT_EQ(recorded[0].body, body);
    EXPECT_EQ(recorded[0].header("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(recorded[0].header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(recorded[0].header("X-PROBE"), "Quorvel");

    service.clearRequests();
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(StandInOverHttp, PercentWithoutHexDigitsStaysAndGetReadsTheQuery) {
    // The client leaves '%' unescaped; "100%" must still decode to what was signed.
    const std::string query = "?q=100%&from=en&to=zh&appid=" + kAppId + "&salt=" + kSalt +
                              "&sign=" + Sign(kAppId, "100%", kSalt, kKey);
    const HttpReply reply = Send(url() + query);
    EXPECT_EQ(
        reply.body,
        R"({"from":"en","to":"zh","trans_result":[{"src":"100%","dst":"\u8bd1\uff1a100%"}]})");
    EXPECT_EQ(service.requests().at(0).method, "GET");

    EXPECT_EQ(Send(service.endpoint() + "/elsewhere").status, 404);
    EXPECT_EQ(service.requests().at(1).path, "/api/trans/vip/translate/elsewhere");
}

TEST_F(StandInOverHttp, PostBodyIsReadOnlyAsAForm) {
    Exchange plainText;
    plainText.contentType = "text/plain";
    EXPECT_EQ(Post(url(), SignedBody("hello"), plainText).body,
              ErrorJson("54000", "PARAM_FROM_TO_OR_Q_EMPTY"));
    plainText.contentType = "Application/X-WWW-Form-Urlencoded; charset=UTF-8";
    EXPECT_TRUE(IsTranslation(Post(url(), SignedBody("hello"), plainText)));
}

TEST_F(StandInOverHttp, RateLimitIsPerAppIdWithinOneSecond) {
    StandInService limited{{kAccounts, 2, {}, {}}};
    limited.start();
    const std::string body = SignedBody("hello");
    EXPECT_TRUE(IsTranslation(Post(limited.endpoint(), body)));
    EXPECT_TRUE(IsTranslation(Post(limited.endpoint(), body)));
    EXPECT_EQ(Post(limited.endpoint(), body).body, ErrorJson("54003", "Invalid Access Limit"));
    const std::string otherAccount =
        SignedBody("hello", "en", "zh", "20260101000000002", "OtherKey");
    EXPECT_TRUE(IsTranslation(Post(limited.endpoint(), otherAccount)));
}

TEST_F(StandInOverHttp, DelayAnswersNormallyAfterTheDelay) {
    service.setFault(Fault::Delay, std::chrono::milliseconds(100));
    const auto started = std::chrono::steady_clock::now();
    const HttpReply reply = Post(url(), SignedBody("world"));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100));
    EXPECT_EQ(reply.body,
              R"({"from":"en","to":"zh","trans_result":[{"src":"world","dst":"\u4e16\u754c"}]})");
}

TEST_F(StandInOverHttp, StopEndsALongDelayOfAClientThatGaveUp) {
    service.setFault(Fault::Delay, std::chrono::minutes(5));
    Exchange impatient;
    impatient.timeoutMs = 200;
    EXPECT_EQ(Post(url(), SignedBody("world"), impatient).result, CURLE_OPERATION_TIMEDOUT);
    service.stop(); // must not wait out the delay
    EXPECT_EQ(Post(url(), SignedBody("world")).result, CURLE_COULDNT_CONNECT);
}

TEST_F(StandInOverHttp, CloseWithoutAnswerSendsNoByteAfterReadingTheRequest) {
    service.setFault(Fault::CloseWithoutAnswer);
    const HttpReply reply = Post(url(), SignedBody("hello"));
    EXPECT_EQ(reply.result, CURLE_GOT_NOTHING);
    EXPECT_TRUE(reply.body.empty());
    EXPECT_EQ(service.requests().size(), 1u);
}

TEST_F(StandInOverHttp, CloseMidReplySendsHalfOfTheAnnouncedAnswer) {
    const std::string answer =
        R"({"from":"en","to":"zh","trans_result":[{"src":"world","dst":"\u4e16\u754c"}]})";
    service.setFault(Fault::CloseMidReply);
    const HttpReply reply = Post(url(), SignedBody("world"));
    EXPECT_EQ(reply.result, CURLE_PARTIAL_FILE);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, answer.substr(0, answer.size() / 2));
}

TEST_F(StandInOverHttp, DripSendsTheAnswerByteByByteAndStopEndsItAtOnce) {
    service.setFault(Fault::Drip, std::chrono::milliseconds(2));
    EXPECT_EQ(Post(url(), SignedBody("world")).body,
              R"({"from":"en","to":"zh","trans_result":[{"src":"world","dst":"\u4e16\u754c"}]})");

    service.setFault(Fault::Drip, std::chrono::minutes(1));
    Exchange impatient;
    impatient.timeoutMs = 200;
    const HttpReply cut = Post(url(), SignedBody("world"), impatient);
    EXPECT_EQ(cut.result, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(cut.body, "{"); // the first byte at once, the next one a minute later
    const auto stopping = std::chrono::steady_clock::now();
    service.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(30))
        << "stop() waited for the drip";
}

TEST_F(StandInOverHttp, NonJsonBodyAndErrorStatusAnswerWithHtml) {
    service.setFault(Fault::NonJsonBody);
    HttpReply reply = Post(url(), SignedBody("hello"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body.rfind("<html>", 0), 0u);

    service.setFault(Fault::HttpErrorStatus, {}, 502);
    reply = Post(url(), SignedBody("hello"));
    EXPECT_EQ(reply.status, 502);
    EXPECT_EQ(reply.body.rfind("<html>", 0), 0u);

    service.setFault(Fault::None);
    EXPECT_TRUE(IsTranslation(Post(url(), SignedBody("hello"))));
}

TEST_F(StandInOverHttp, RedirectPointsToAnotherPathThatGivesItselfAway) {
    service.setFault(Fault::Redirect);
    const HttpReply notFollowed = Post(url(), SignedBody("hello"));
    EXPECT_EQ(notFollowed.status, 302);
    EXPECT_EQ(notFollowed.location,
              "http://127.0.0.1:" + std::to_string(service.port()) + standin::kRedirectTargetPath);

    Exchange follow;
    follow.followRedirects = true;
    const HttpReply followed = Post(url(), SignedBody("hello"), follow);
    EXPECT_EQ(followed.status, 200);
    EXPECT_NE(followed.body.find(standin::kRedirectedTranslation), std::string::npos);
    const auto recorded = service.requests();
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[2].path, standin::kRedirectTargetPath);
}

// --- TLS with the test PKI ---

class StandInOverTls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        pki = testsupport::MakeTestPki(folder.path().toStdString());
    }

    QTemporaryDir folder;
    testsupport::TestPki pki;
};

TEST_F(StandInOverTls, TrustedTestCaSucceedsAndOnlyThatCertificateVerifies) {
    StandInService service{{kAccounts, 0, pki.serverCert, pki.serverKey}};
    service.start();
    ASSERT_EQ(service.endpoint().rfind("https://127.0.0.1:", 0), 0u);
    Exchange trusting;
    trusting.caFile = pki.caCert;
    const HttpReply reply = Post(service.endpoint(), SignedBody("apple"), trusting);
    ASSERT_EQ(reply.result, CURLE_OK);
    EXPECT_EQ(reply.body,
              R"({"from":"en","to":"zh","trans_result":[{"src":"apple","dst":"\u82f9\u679c"}]})");
    EXPECT_EQ(Post(service.endpoint(), SignedBody("apple")).result, CURLE_PEER_FAILED_VERIFICATION)
        << "the system store must not know the test CA";
    service.setFault(Fault::CloseWithoutAnswer);
    const HttpReply closed = Post(service.endpoint(), SignedBody("apple"), trusting);
    EXPECT_NE(closed.result, CURLE_OK);
    EXPECT_TRUE(closed.body.empty());

    StandInService otherHost{{kAccounts, 0, pki.otherHostCert, pki.otherHostKey}};
    otherHost.start();
    EXPECT_EQ(Post(otherHost.endpoint(), SignedBody("apple"), trusting).result,
              CURLE_PEER_FAILED_VERIFICATION);
    StandInService selfSigned{{kAccounts, 0, pki.selfSignedCert, pki.selfSignedKey}};
    selfSigned.start();
    EXPECT_EQ(Post(selfSigned.endpoint(), SignedBody("apple"), trusting).result,
              CURLE_PEER_FAILED_VERIFICATION);
}

TEST_F(StandInOverTls, MissingCertificateFailsToStart) {
    StandInService service{{kAccounts, 0, pki.caCert + ".missing", pki.serverKey}};
    EXPECT_THROW(service.start(), std::runtime_error);
}

// --- the program ---

TEST(StandInProgram, ServesTheDemoAccountUntilTerminated) {
    QProcess program;
    program.start(QStringLiteral(QUORVEL_STANDIN_PROGRAM), {QStringLiteral("--port"), "0"});
    ASSERT_TRUE(program.waitForReadyRead(10000));
    const QByteArray line = program.readLine().trimmed();
    ASSERT_TRUE(line.startsWith("listening on http://127.0.0.1:")) << line.toStdString();
    const std::string endpoint = line.mid(13).toStdString();

    const HttpReply reply =
        Post(endpoint, SignedBody("hello", "en", "zh", "20260101000000001", "QuorvelDemoKey01"));
    EXPECT_EQ(reply.body,
              R"({"from":"en","to":"zh","trans_result":[{"src":"hello","dst":"\u4f60\u597d"}]})");

    program.terminate(); // SIGTERM
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}
