// The stand-in's answers that the client's tests cannot see through the client: the exact JSON,
// and the program started from the command line. Everything else the client's tests exercise.

#include "client/modQuorvel.h"
#include "standin/StandInService.h"
#include "support/QtPrinters.h"
#include "support/TestPki.h"

#include <QProcess>
#include <QTemporaryDir>

using standin::AnswerTranslateRequest;

TEST(AnswerTranslateRequest, PublishedSignVectorIsAcceptedWithTheExactReply) {
    EXPECT_EQ(AnswerTranslateRequest({{"q", "apple"},
                                      {"from", "en"},
                                      {"to", "zh"},
                                      {"appid", "2015063000000001"},
                                      {"salt", "1435660288"},
                                      {"sign", "f89f9594663708c1605f3d736d01d2d4"}},
                                     {{"2015063000000001", "12345678"}}),
              R"({"from":"en","to":"zh","trans_result":[{"src":"apple","dst":"\u82f9\u679c"}]})");
}

TEST(AnswerTranslateRequest, EscapesNonAsciiUnitsSlashQuotesAndControlCharacters) {
    const std::string q = "a/b \"c\" \\ \t\x01 \xF0\x9F\x98\x80\xE4\xB8\xAD"; // ... 😀中
    const std::string sign = "60be79c8d1426e8697d3da4ec56c1bb0"; // md5 of "1" q "2" "key"
    const std::string escaped = R"(a\/b \"c\" \\ \t\u0001 \ud83d\ude00\u4e2d)";
    EXPECT_EQ(
        AnswerTranslateRequest(
            {{"q", q}, {"from", "en"}, {"to", "zh"}, {"appid", "1"}, {"salt", "2"}, {"sign", sign}},
            {{"1", "key"}}),
        R"({"from":"en","to":"zh","trans_result":[{"src":")" + escaped +
            R"(","dst":"\u8bd1\uff1a)" + escaped + R"("}]})");
}

// The demo account over TLS with the files given on the command line, until SIGTERM.
TEST(StandInProgram, ServesTheDemoAccountOverTlsUntilTerminated) {
    QTemporaryDir folder;
    const testsupport::TestPki pki = testsupport::MakeTestPki(folder.path().toStdString());
    QProcess program;
    program.start(QStringLiteral(QUORVEL_STANDIN_PROGRAM),
                  {"--port", "0", "--cert", QString::fromStdString(pki.serverCert), "--key",
                   QString::fromStdString(pki.serverKey)});
    ASSERT_TRUE(program.waitForReadyRead(10000));
    const QByteArray line = program.readLine().trimmed();
    ASSERT_TRUE(line.startsWith("listening on https://127.0.0.1:")) << line.toStdString();

    modQuorvel::ConnectionOptions options;
    options.httpsEndpoint = QString::fromLatin1(line.mid(13));
    options.extraCaFile = QString::fromStdString(pki.caCert);
    EXPECT_EQ(modQuorvel::TranslateText("hello", "en", "zh", "20260101000000001",
                                        "QuorvelDemoKey01", true, options)
                  .text,
              QStringLiteral("你好"));

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}
