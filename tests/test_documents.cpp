// Documents through the stand-in service over real HTTP: how they are split into requests, and
// that they come back line for line, at the account's rate, through retries and failures.

#include "client/ServiceErrors.h"
#include "documents/TranslateDocument.h"
#include "standin/StandInService.h"
#include "support/QtPrinters.h"
#include "support/TestService.h"

#include <QBuffer>

using documents::DocumentOutcome;
using documents::DocumentResult;
using standin::Fault;
using testsupport::FormField;

namespace {

class DocumentOverHttp : public ::testing::Test {
protected:
    void start(int rate = 0, std::chrono::milliseconds jitter = {}) {
        standin::ServiceOptions options = testsupport::TestAccount(rate);
        options.latencyJitter = jitter;
        service.emplace(options);
        service->start();
        job.account = {"en", "zh", testsupport::kAppId, testsupport::kKey, false, {}};
        job.account.connection.httpEndpoint = QString::fromStdString(service->endpoint());
        job.requestsPerSecond = 100;
    }
    // Translates `input` from a buffer into `output`.
    DocumentResult translate(const QByteArray& input,
                             const documents::ProgressReport& progress = {}) {
        QBuffer in;
        in.setData(input);
        in.open(QIODevice::ReadOnly);
        output.close();
        output.setData({});
        output.open(QIODevice::WriteOnly);
        return documents::TranslateDocument(in, output, job, progress);
    }
    // The q of every request received, sorted: requests under way together arrive in any order.
    QStringList sentTexts() const {
        QStringList texts;
        for (const standin::RecordedRequest& request : service->requests())
            texts << FormField(request.body, "q");
        texts.sort();
        return texts;
    }

    std::optional<standin::StandInService> service;
    documents::DocumentJob job;
    QBuffer output;
};

} // namespace

TEST_F(DocumentOverHttp, LongLinesAreCutAndTheirPiecesJoinedBackBlankLinesStayInPlace) {
    start();
    const QString sentence = "One two three. ", chinese = "你好世界。", emoji = "\U0001F600";
    const QString english1 = sentence.repeated(400).chopped(1), english2 = sentence.repeated(100);
    const QString x6000 = QString(6000, 'x'), x1000 = QString(1000, 'x');
    const QString x5990 = QString(5990, 'x');
    const struct {
        QString input;
        QStringList sent;
        QString output;
    } cases[] = {
        // At the last sentence end that fits; the blank after it stays between the pieces.
        {sentence.repeated(500),
         {english1, english2},
         "译：" + english1 + " 译：" + english2 + "\n"},
        {chinese.repeated(500),
         {chinese.repeated(400), chinese.repeated(100)},
         "译：" + chinese.repeated(400) + "译：" + chinese.repeated(100) + "\n"},
        // No sentence end, no blank: between characters, never inside a surrogate pair.
        {QString(7000, 'x') + "\n", {x6000, x1000}, "译：" + x6000 + "译：" + x1000 + "\n"},
        {"a" + emoji.repeated(1750),
         {"a" + emoji.repeated(1499), emoji.repeated(251)},
         "译：a" + emoji.repeated(1499) + "译：" + emoji.repeated(251) + "\n"},
        // CR LF in, LF out; blank lines are not sent; lines are packed up to 6000 bytes.
        {"hello\r\n\r\n" + x5990 + "\r\n  \r\nworld\r\n",
         {"hello\n" + x5990, "world"},
         "你好\n\n译：" + x5990 + "\n  \n世界\n"},
        // What fits one request goes out as read, CR LF and blank lines included.
        {"hello\r\n\r\nworld\r\n", {"hello\r\n\r\nworld"}, "你好\n\n世界\n"},
    };
    for (const auto& c : cases) {
        service->clearRequests();
        const DocumentResult result = translate(c.input.toUtf8());
        EXPECT_EQ(result.outcome, DocumentOutcome::Translated) << result.message.toStdString();
        QStringList sent = c.sent;
        sent.sort();
        EXPECT_EQ(sentTexts(), sent) << c.input.left(20).toStdString();
        EXPECT_EQ(QString::fromUtf8(output.data()), c.output) << c.input.left(20).toStdString();
    }
}

// Answers overtake each other (each takes 0 to 60 ms); the file's lines still come back in
// order, at the rate of 100 a second counted by the service itself. The requests leave evenly
// spaced, but on a busy machine one may reach the service late and the next ones on time, so
// the service may refuse some (bench_network counts them on a played network): each refusal is
// sent again, and the document is whole.
TEST_F(DocumentOverHttp, LinesComeBackInOrderAtTheRateAndAnyRateLimitAnswerIsRetried) {
    start(100, std::chrono::milliseconds(60));
    job.maxRequestBytes = 8; // one line per request
    QByteArray input, expected;
    for (int i = 1; i <= 150; ++i) {
        const QByteArray line = QByteArray::number(i).rightJustified(8, '0');
        input += line + (i % 50 == 0 ? "\n\n" : "\n");
        expected += "译：" + line + (i % 50 == 0 ? "\n\n" : "\n");
    }
    std::vector<documents::DocumentProgress> reports;
    const DocumentResult result =
        translate(input, [&](const documents::DocumentProgress& p) { reports.push_back(p); });

    EXPECT_EQ(result.outcome, DocumentOutcome::Translated) << result.message.toStdString();
    EXPECT_EQ(output.data(), expected);
    EXPECT_EQ(service->requests().size(), 150u + service->rateLimitAnswers());
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().requestsTotal, 150); // a file is counted before it is sent
    EXPECT_EQ(reports.back().requestsDone, 150);
    EXPECT_EQ(reports.back().linesDone, 153);
    EXPECT_EQ(reports.back().linesTotal, 153);
}

// Each worker keeps one connection for all its requests (128 workers at most, whatever the
// machine's load); a connection the service closes after an answer is opened again, and the
// document goes on.
TEST_F(DocumentOverHttp, WorkersKeepTheirConnectionsAndReopenTheOnesTheServiceCloses) {
    start();
    job.maxRequestBytes = 8; // one line per request
    job.requestsPerSecond = 1000;
    QByteArray input, expected;
    for (int i = 1; i <= 300; ++i) {
        const QByteArray line = QByteArray::number(i).rightJustified(8, '0');
        input += line + "\n";
        expected += "译：" + line + "\n";
    }
    DocumentResult result = translate(input);
    EXPECT_EQ(result.outcome, DocumentOutcome::Translated) << result.message.toStdString();
    EXPECT_EQ(output.data(), expected);
    EXPECT_EQ(service->requests().size(), 300u);
    EXPECT_LE(service->connections(), 128);

    service->clearRequests();
    service->scriptNext(20, Fault::CloseAfterAnswer);
    const qsizetype forty = 40 * 9;
    result = translate(input.left(forty));
    EXPECT_EQ(result.outcome, DocumentOutcome::Translated) << result.message.toStdString();
    EXPECT_EQ(output.data(), expected.left(40 * (sizeof("译：") - 1 + 9)));
    // A request that met the close on its way is sent again.
    EXPECT_GE(service->requests().size(), 40u);
    EXPECT_GT(service->connections(), 20); // none of the 20 closed ones carried another request
}

// Every retried answer at once, each to one request: all recover after one retry.
TEST_F(DocumentOverHttp, RateLimitsTimeOutsAndDroppedConnectionsAreRetried) {
    start();
    job.maxRequestBytes = 5;
    for (const char* code : {"54003", "54005", "52001", "52002"})
        service->scriptNext(1, Fault::ServiceError, code);
    service->scriptNext(1, Fault::CloseWithoutAnswer);
    const DocumentResult result = translate("hello\nworld\napple\nhello\nworld\n");
    EXPECT_EQ(result.outcome, DocumentOutcome::Translated) << result.message.toStdString();
    EXPECT_EQ(output.data(), "你好\n世界\n苹果\n你好\n世界\n");
    EXPECT_EQ(service->requests().size(), 10u);
}

// A text sent whole is one translation someone waits for: a dropped connection is tried again,
// but a service that never answers fails it after one request's time-out, not one per try.
TEST_F(DocumentOverHttp, ATextSentWholeEndsWithinOneTimeOut) {
    start();
    service->scriptNext(1, Fault::CloseWithoutAnswer);
    DocumentResult result = translate("hello\n");
    EXPECT_EQ(result.outcome, DocumentOutcome::Translated) << result.message.toStdString();
    EXPECT_EQ(output.data(), "你好\n");
    EXPECT_EQ(service->requests().size(), 2u);

    service->clearRequests();
    service->setFault(Fault::Delay, std::chrono::seconds(60));
    job.account.connection.totalTimeout = std::chrono::seconds(1);
    result = translate("hello\n");
    EXPECT_EQ(result.outcome, DocumentOutcome::RequestFailed);
    EXPECT_EQ(result.message, "请求失败：请求超时");
    EXPECT_EQ(service->requests().size(), 1u);
}

TEST_F(DocumentOverHttp, AFinalErrorOrAReplyThatDoesNotMatchStopsTheDocument) {
    start();
    job.maxRequestBytes = 5;
    // Any code but the four retried ones, here the neighbours of 52002 and 54003: sent once.
    for (const auto& [code, message] :
         {std::pair("52003", "错误代码:52003,说明:UNAUTHORIZED USER"),
          std::pair("54004", "错误代码:54004,说明:Please recharge")}) {
        service->clearRequests();
        service->scriptNext(1, Fault::ServiceError, code);
        const DocumentResult result = translate("hello");
        EXPECT_EQ(result.outcome, DocumentOutcome::ServiceError) << code;
        EXPECT_EQ(result.message, QString::fromUtf8(message));
        EXPECT_EQ(result.errorCode, code);
        EXPECT_EQ(service->requests().size(), 1u) << code;
        EXPECT_EQ(output.data(), "") << code;
    }
    // So is every error of the service's table that it does not mark retried.
    for (const modQuorvel::ServiceErrorCode& entry : modQuorvel::ServiceErrorCodes()) {
        if (entry.retried || entry.code == modQuorvel::kSuccessCode)
            continue;
        const std::string code = entry.code.toString().toStdString();
        service->clearRequests();
        service->scriptNext(1, Fault::ServiceError, code);
        const DocumentResult result = translate("hello");
        EXPECT_EQ(result.outcome, DocumentOutcome::ServiceError) << code;
        EXPECT_EQ(result.errorCode, entry.code) << code;
        EXPECT_EQ(service->requests().size(), 1u) << code;
    }

    // One result too few: sent once more, then the document stops rather than shift.
    service->clearRequests();
    service->setFault(Fault::MissingResult);
    job.maxRequestBytes = 11; // both lines in one request, the blank line after them not sent
    const DocumentResult result = translate("hello\nworld\n\n");
    EXPECT_EQ(result.outcome, DocumentOutcome::RequestFailed);
    EXPECT_EQ(result.message, "回复无法识别：译文1行，所发原文2行");
    EXPECT_EQ(service->requests().size(), 2u);
    EXPECT_EQ(output.data(), "");
}

TEST_F(DocumentOverHttp, InputThatIsNotUtf8OrOutputThatCannotBeWrittenEndsTheDocument) {
    start();
    EXPECT_EQ(translate("hello\n\xFF\xFE\n").outcome, DocumentOutcome::InputUnreadable);
    job.maxRequestBytes = 5;
    EXPECT_EQ(translate("hello\nworld\n\xC3").outcome, DocumentOutcome::InputUnreadable);

    QBuffer in, readOnly;
    in.setData("hello");
    in.open(QIODevice::ReadOnly);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_EQ(documents::TranslateDocument(in, readOnly, job).outcome,
              DocumentOutcome::OutputFailed);
}

TEST(FormatProgress, ShowsWhatIsKnown) {
    using documents::DocumentProgress;
    using std::chrono::seconds;
    const struct {
        DocumentProgress progress;
        QString line;
    } cases[] = {
        {{12, 40, 340, 1200, 9.83, seconds(3)},
         "已完成请求 12/40，行 340/1200，9.8次/秒，剩余约 3秒"},
        {{5, {}, 70, {}, 1, {}}, "已完成请求 5，行 70，1.0次/秒"},
        {{0, 200, 0, 900, 0, seconds(201)}, "已完成请求 0/200，行 0/900，0.0次/秒，剩余约 3分21秒"},
        {{0, 9000, 0, 9000, 0, seconds(9000)},
         "已完成请求 0/9000，行 0/9000，0.0次/秒，剩余约 2小时30分"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(documents::FormatProgress(c.progress), c.line);
}
