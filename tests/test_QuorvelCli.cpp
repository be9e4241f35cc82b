#include "cli/RunCli.h"
#include "cli/TerminalInput.h"
#include "support/WindowFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using testsupport::kAppId;
using testsupport::kKey;

namespace {

struct CliResult {
    int status = -1;
    QByteArray out, err;
};

// quorvel-cli run in-process, and as a program, on the settings file of the window fixture.
class QuorvelCli : public ServiceWindowFixture {
protected:
    CliResult run(const QStringList& arguments, const QByteArray& input = {}) {
        QBuffer in, out, err;
        in.setData(input);
        in.open(QIODevice::ReadOnly);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = cli::RunCli(arguments, {in, out, err}, iniPath());
        return {status, out.data(), err.data()};
    }
    // The real program, copied beside the settings file: a portable copy keeps its file there.
    CliResult runProgram(const QStringList& arguments, const QByteArray& input = {}) {
        const QString copy = QFileInfo(iniPath()).dir().filePath(QStringLiteral("quorvel-cli"));
        if (!QFileInfo::exists(copy))
            QFile::copy(QStringLiteral(QUORVEL_CLI_PROGRAM), copy);
        QProcess process;
        process.start(copy, arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    void storeCredentials(const QString& key = kKey) {
        writeSettings(serviceSettings() + credentialSettings(kAppId, key));
    }
    QString sentField(const QString& name, std::size_t request = 0) const {
        const auto requests = service.requests();
        return request < requests.size() ? testsupport::FormField(requests[request].body, name)
                                         : QStringLiteral("<no request>");
    }
};

} // namespace

TEST_F(QuorvelCli, TranslatesItsWordsJoinedByBlanksWithTheCodeRulesOfTheWindow) {
    storeCredentials();
    const CliResult result = run({"-s", " EN ", "--target=ZH", "hello", "world"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "译：hello world\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(sentField("q"), "hello world");
    EXPECT_EQ(sentField("from"), "en");
    EXPECT_EQ(sentField("to"), "zh");

    EXPECT_EQ(run({"--", "-apple"}).status, 0);
    EXPECT_EQ(sentField("q", 1), "-apple");
    EXPECT_EQ(sentField("from", 1), "auto");
}

TEST_F(QuorvelCli, UsesTheStoredProtocolUnlessTheCommandLineChoosesOne) {
    storeCredentials();
    EXPECT_EQ(run({"apple"}).status, 0);
    EXPECT_EQ(run({"--https", "apple"}).status, 0);
    EXPECT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(secureService.requests().size(), 1u);

    const QByteArray secure = settingsBytes() + "[Settings]\r\nHttps=1\r\n";
    writeSettings(secure);
    EXPECT_EQ(run({"apple"}).status, 0);
    EXPECT_EQ(secureService.requests().size(), 2u);
    EXPECT_EQ(run({"--http", "apple"}).status, 0);
    EXPECT_EQ(service.requests().size(), 2u);
    EXPECT_EQ(settingsBytes(), secure) << "the client stores no protocol choice";
}

TEST_F(QuorvelCli, EachExitStatusSaysWhatWentWrong) {
    CliResult result = run({"apple"});
    EXPECT_EQ(result.status, 4);
    EXPECT_TRUE(result.err.contains("http://api.fanyi.baidu.com/"));

    storeCredentials("WrongKey");
    for (const QStringList& arguments :
         {QStringList{"--bogus", "apple"}, QStringList{"apple", "-s"},
          QStringList{"--https", "--http", "apple"}, QStringList{"--configure", "apple"},
          QStringList{"--configure", "-t", "en"}}) {
        result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains("用法："));
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(run({}, "caf\xE9\n").status, 2) << "standard input that is not UTF-8";
    EXPECT_TRUE(service.requests().empty());

    result = run({"apple"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "错误代码:54001,说明:Invalid Sign\n");

    service.setFault(standin::Fault::NonJsonBody);
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "无法识别的服务回复(HTTP 200)\n");
    service.stop();
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "请求失败:无法连接到服务器\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(QuorvelCli, ConfigureFromStandardInputStoresWhatTheWindowStores) {
    const CliResult configured =
        run({"--configure"}, " " + kAppId.toUtf8() + " \n" + kKey.toUtf8() + "\r\n");
    EXPECT_EQ(configured.status, 0) << configured.err.data();
    EXPECT_EQ(settingsBytes(), serviceSettings() + credentialSettings());
    EXPECT_EQ(run({"apple"}).out, "苹果\n");

    // The window translates with them, and the client with what the window stores.
    openWindow();
    EXPECT_EQ(translate("apple"), "苹果");
    writeSettings(serviceSettings());
    dialogs.answerInputs({kAppId, kKey});
    click("Command3");
    EXPECT_EQ(run({"world"}).out, "世界\n");
}

TEST_F(QuorvelCli, ConfigureWritesNothingForAnEmptyOrRefusedEntry) {
    storeCredentials();
    const QByteArray before = settingsBytes();
    for (const QByteArray& input : {QByteArray("20260101000000002\n   \n"), QByteArray(""),
                                    QByteArray("20260101000000002\n") + QByteArray(33, 'k') + "\n",
                                    QByteArray("20260101000000002\n密钥abc\n")}) {
        const CliResult result = run({"--configure"}, input);
        EXPECT_EQ(result.status, 2) << input.data();
        EXPECT_TRUE(result.err.contains("设置未作任何更改"));
    }
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(QuorvelCli, TheProgramSharesTheSettingsFileOfTheWindowInItsOwnFolder) {
    const CliResult help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(QString::fromUtf8(help.out).contains(iniPath())) << help.out.data();
    EXPECT_EQ(runProgram({"--version"}).out, "quorvel-cli 1.0.0.1\n");

    EXPECT_EQ(runProgram({"apple"}).status, 4);
    EXPECT_EQ(runProgram({"--configure"}, kAppId.toUtf8() + "\n" + kKey.toUtf8() + "\n").status, 0);
    EXPECT_EQ(setting("BaiDuKeyInfo", "AppID"), kAppId);
    // A multi-line standard input, sent as read but for the final line end; LF line ends out.
    const CliResult translated = runProgram({"-t", "zh"}, "hello\nworld\r\napple\n");
    EXPECT_EQ(translated.status, 0) << translated.err.data();
    EXPECT_EQ(translated.out, "你好\n世界\n苹果\n");
    EXPECT_EQ(sentField("q"), "hello\nworld\r\napple");
}

// The key is typed at a terminal: a pseudo-terminal stands in for it.
TEST(TerminalInput, TheKeyIsNotEchoedAndTheTerminalModeComesBack) {
    int terminal = -1, typist = -1;
    ASSERT_EQ(openpty(&typist, &terminal, nullptr, nullptr, nullptr), 0);
    ASSERT_TRUE(cli::IsTerminal(terminal));
    std::optional<QString> typed;
    std::thread reader([&] { typed = cli::ReadTerminalLine(terminal, false); });
    // Characters are echoed as they arrive, so type only once echo is off.
    termios mode{};
    while (tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ECHO)) {
    }
    ASSERT_EQ(write(typist, "Secret01\n", 9), 9);
    reader.join();
    EXPECT_EQ(typed, QStringLiteral("Secret01"));
    tcgetattr(terminal, &mode);
    EXPECT_TRUE(mode.c_lflag & ECHO);

    // What the terminal showed, up to the echoed line break (anything echoed comes before it).
    QByteArray shown;
    char chunk[64];
    pollfd output{typist, POLLIN, 0};
    for (ssize_t got = 1; got > 0 && !shown.contains('\n') && poll(&output, 1, 5000) == 1;)
        shown.append(chunk, std::max<ssize_t>(got = read(typist, chunk, sizeof chunk), 0));
    EXPECT_EQ(shown, "\r\n") << "the key was echoed";
    close(typist);
    close(terminal);
}
