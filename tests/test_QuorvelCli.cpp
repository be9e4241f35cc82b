#include "cli/RunCli.h"
#include "cli/TerminalInput.h"
#include "credentials/StoredCredentials.h"
#include "credentials/modStrHexByte.h"
#include "standin/StandInService.h"
#include "support/FormField.h"
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

namespace {

using testsupport::FormField;

const QString kAppId = QStringLiteral("20260101000000001");
const QString kKey = QStringLiteral("QuorvelTestKey01");

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// quorvel-cli run in-process, and as a program, on the settings file of a WindowFixture; the
// file's [Service] section points both endpoints at local stand-ins (`secureService` for HTTPS).
class QuorvelCli : public WindowFixture {
protected:
    void SetUp() override {
        service.start();
        secureService.start();
        writeSettings(QByteArray("[Service]\r\nHttpEndpoint=") + service.endpoint().c_str() +
                      "\r\nHttpsEndpoint=" + secureService.endpoint().c_str() + "\r\n");
    }

    CliResult run(const QStringList& arguments, const QByteArray& input = {}) {
        QBuffer in;
        in.setData(input);
        QBuffer out;
        QBuffer err;
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

    void storeCredentials(const QString& appId = kAppId, const QString& key = kKey) {
        clsIniFile ini;
        ini.File(iniPath());
        ASSERT_EQ(StoreCredentials(ini, appId, key).outcome,
                  CredentialSetupResult::Outcome::Stored);
    }

    QString sentField(const QString& name, std::size_t request = 0) const {
        const auto requests = service.requests();
        return request < requests.size() ? FormField(requests[request].body, name)
                                         : QStringLiteral("<no request>");
    }

    static standin::ServiceOptions TestAccount() {
        standin::ServiceOptions options;
        options.accounts = {{kAppId.toStdString(), kKey.toStdString()}};
        return options;
    }

    standin::StandInService service{TestAccount()};
    standin::StandInService secureService{TestAccount()};
};

} // namespace

TEST_F(QuorvelCli, TranslatesItsWordsJoinedByBlanksWithTheWindowsCodeRules) {
    storeCredentials();
    const CliResult result = run({"-s", " EN ", "--target=ZH", "hello", "world"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, QStringLiteral("译：hello world\n").toUtf8());
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(sentField("q"), "hello world");
    EXPECT_EQ(sentField("from"), "en");
    EXPECT_EQ(sentField("to"), "zh");

    EXPECT_EQ(run({"--", "-apple"}).status, 0);
    EXPECT_EQ(sentField("q", 1), "-apple");
    EXPECT_EQ(sentField("from", 1), "auto");
}

TEST_F(QuorvelCli, TranslatesAMultiLineStandardInputWithLfLineEnds) {
    storeCredentials();
    const CliResult result = run({"-t", "zh"}, "hello\nworld\r\napple\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, QStringLiteral("你好\n世界\n苹果\n").toUtf8());
    // Sent as read, but for the final line end.
    EXPECT_EQ(sentField("q"), "hello\nworld\r\napple");
}

TEST_F(QuorvelCli, UsesTheStoredProtocolUnlessTheCommandLineChoosesOne) {
    storeCredentials();
    EXPECT_EQ(run({"apple"}).status, 0);
    EXPECT_EQ(run({"--https", "apple"}).status, 0);
    EXPECT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(secureService.requests().size(), 1u);

    clsIniFile ini;
    ini.File(iniPath());
    ini.SaveSetting("Settings", "Https", "1");
    EXPECT_EQ(run({"apple"}).status, 0);
    EXPECT_EQ(secureService.requests().size(), 2u);
    EXPECT_EQ(run({"--http", "apple"}).status, 0);
    EXPECT_EQ(service.requests().size(), 2u);
    EXPECT_EQ(setting("Settings", "Https"), "1") << "the client stores no protocol choice";
}

TEST_F(QuorvelCli, TheServicesErrorLineGoesToStandardErrorWithStatusOne) {
    storeCredentials(kAppId, QStringLiteral("WrongKey"));
    const CliResult result = run({"apple"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, QStringLiteral("错误代码:54001,说明:Invalid Sign\n").toUtf8());
}

TEST_F(QuorvelCli, UsageErrorsGiveStatusTwoAndSendNothing) {
    storeCredentials();
    for (const QStringList& arguments :
         {QStringList{"--bogus", "apple"}, QStringList{"apple", "-s"},
          QStringList{"--https", "--http", "apple"}, QStringList{"--configure", "apple"},
          QStringList{"--configure", "-t", "en"}}) {
        const CliResult result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(result.err).contains(QStringLiteral("用法：")));
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(run({}, "caf\xE9\n").status, 2) << "standard input that is not UTF-8";
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(QuorvelCli, AFailedRequestOrAnUnreadableReplyGiveStatusThree) {
    storeCredentials();
    service.setFault(standin::Fault::NonJsonBody);
    CliResult result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_FALSE(result.err.isEmpty());

    service.stop();
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("请求失败").toUtf8())) << result.err.data();
    EXPECT_EQ(result.out, "");
}

TEST_F(QuorvelCli, WithoutCredentialsItNamesThePortalAndGivesStatusFour) {
    const CliResult result = run({"apple"});
    EXPECT_EQ(result.status, 4);
    EXPECT_TRUE(
        QString::fromUtf8(result.err).contains(QStringLiteral("http://api.fanyi.baidu.com/")));
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(QuorvelCli, ConfigureFromStandardInputStoresWhatTheWindowStores) {
    const CliResult configured =
        run({"--configure"}, " " + kAppId.toUtf8() + " \n" + kKey.toUtf8() + "\r\n");
    EXPECT_EQ(configured.status, 0) << configured.err.data();
    EXPECT_EQ(setting("BaiDuKeyInfo", "AppID"), kAppId);
    EXPECT_EQ(setting("BaiDuKeyInfo", "Secret_Key_Encode"),
              modStrHexByte::EncodeSecretKey(kAppId, kKey));

    const CliResult translated = run({"apple"});
    EXPECT_EQ(translated.status, 0);
    EXPECT_EQ(translated.out, QStringLiteral("苹果\n").toUtf8());
}

TEST_F(QuorvelCli, ConfigureWritesNothingForAnEmptyOrRefusedEntry) {
    storeCredentials();
    const QByteArray before = settingsBytes();
    for (const QByteArray& input : {QByteArray("20260101000000002\n   \n"), QByteArray(""),
                                    QByteArray("20260101000000002\n") + QByteArray(33, 'k') + "\n",
                                    QStringLiteral("20260101000000002\n密钥abc\n").toUtf8()}) {
        const CliResult result = run({"--configure"}, input);
        EXPECT_EQ(result.status, 2) << input.data();
        EXPECT_TRUE(QString::fromUtf8(result.err).contains(QStringLiteral("设置未作任何更改")));
    }
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(QuorvelCli, TheWindowUsesCredentialsTheClientStored) {
    ASSERT_EQ(run({"--configure"}, kAppId.toUtf8() + "\n" + kKey.toUtf8() + "\n").status, 0);
    openWindow();
    text1()->setPlainText("apple");
    click("Command1");
    EXPECT_EQ(text2()->toPlainText(), QStringLiteral("苹果"));
}

TEST_F(QuorvelCli, TheClientUsesCredentialsTheWindowStored) {
    openWindow();
    dialogs.answerInputs({kAppId, kKey});
    click("Command3");
    const CliResult result = run({"apple"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, QStringLiteral("苹果\n").toUtf8());
}

TEST_F(QuorvelCli, TheProgramSharesTheWindowsFileInItsOwnFolder) {
    const CliResult help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(QString::fromUtf8(help.out).contains(iniPath())) << help.out.data();
    EXPECT_EQ(runProgram({"--version"}).out, "quorvel-cli 1.0.0.1\n");

    EXPECT_EQ(runProgram({"apple"}).status, 4);
    EXPECT_EQ(runProgram({"--configure"}, kAppId.toUtf8() + "\n" + kKey.toUtf8() + "\n").status, 0);
    EXPECT_EQ(setting("BaiDuKeyInfo", "AppID"), kAppId);
    const CliResult translated = runProgram({"-t", "zh"}, "hello\nworld\n");
    EXPECT_EQ(translated.status, 0) << translated.err.data();
    EXPECT_EQ(translated.out, QStringLiteral("你好\n世界\n").toUtf8());
}

// The key is typed at a terminal: a pseudo-terminal stands in for it.
TEST(TerminalInput, TheKeyIsNotEchoedAndTheTerminalModeComesBack) {
    int terminal = -1;
    int typist = -1;
    ASSERT_EQ(openpty(&typist, &terminal, nullptr, nullptr, nullptr), 0);
    ASSERT_TRUE(cli::IsTerminal(terminal));

    std::optional<QString> typed;
    std::thread reader([&] { typed = cli::ReadTerminalLine(terminal, false); });
    // Characters are echoed as they arrive, so type only once echo is off.
    termios mode{};
    do {
        tcgetattr(terminal, &mode);
    } while (mode.c_lflag & ECHO);
    ASSERT_EQ(write(typist, "Secret01\n", 9), 9);
    reader.join();
    EXPECT_EQ(typed, QStringLiteral("Secret01"));

    tcgetattr(terminal, &mode);
    EXPECT_TRUE(mode.c_lflag & ECHO);
    // What the terminal showed, up to the echoed line break (anything echoed comes before it).
    QByteArray shown;
    pollfd output{typist, POLLIN, 0};
    while (!shown.contains('\n') && poll(&output, 1, 5000) == 1) {
        char chunk[64];
        const ssize_t got = read(typist, chunk, sizeof chunk);
        if (got <= 0)
            break;
        shown.append(chunk, got);
    }
    EXPECT_EQ(shown, "\r\n") << "the key was echoed";

    close(typist);
    close(terminal);
}
