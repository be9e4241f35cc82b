#include "cli/RunCli.h"
#include "cli/TerminalInput.h"
#include "support/WindowFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>

#include <chrono>
#include <functional>

#include <poll.h>
#include <pty.h>
#include <random>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using testsupport::kAppId;
using testsupport::kKey;

namespace {

// Waits, five seconds at most, until the terminal's echo is `on`.
bool EchoBecomes(int terminal, bool on) {
    termios mode{};
    for (int tries = 0; tries < 500; ++tries) {
        if (tcgetattr(terminal, &mode) == 0 && ((mode.c_lflag & ECHO) != 0) == on)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

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
    QString program() {
        const QString copy = QFileInfo(iniPath()).dir().filePath(QStringLiteral("quorvel-cli"));
        if (!QFileInfo::exists(copy))
            QFile::copy(QStringLiteral(QUORVEL_CLI_PROGRAM), copy);
        return copy;
    }
    CliResult runProgram(const QStringList& arguments, const QByteArray& input = {}) {
        return runProcess(program(), arguments, input);
    }
    // `inChild` runs in the new process just before it starts, its pipes already in place.
    static CliResult runProcess(const QString& path, const QStringList& arguments,
                                const QByteArray& input = {},
                                const std::function<void()>& inChild = {}) {
        QProcess process;
        if (inChild)
            process.setChildProcessModifier(inChild);
        process.start(path, arguments);
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
    // What a pseudo-terminal shows of the program's standard output and error.
    QByteArray onTerminal(const QStringList& arguments) {
        int typist = -1, terminal = -1;
        if (openpty(&typist, &terminal, nullptr, nullptr, nullptr) != 0)
            return "<no pseudo-terminal>";
        runProcess(program(), arguments, {}, [terminal] {
            dup2(terminal, STDOUT_FILENO);
            dup2(terminal, STDERR_FILENO);
        });
        close(terminal);
        QByteArray shown;
        char chunk[256];
        pollfd output{typist, POLLIN, 0};
        for (ssize_t got = 1; got > 0 && poll(&output, 1, 5000) == 1;)
            shown.append(chunk, std::max<ssize_t>(got = read(typist, chunk, sizeof chunk), 0));
        close(typist);
        return shown;
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
    EXPECT_EQ(result.out, "你好，世界\n");
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
    for (const CliResult& blank : {run({" ", "\t"}), run({}, " \r\n\n")}) {
        EXPECT_EQ(blank.status, 2);
        EXPECT_EQ(blank.err, "没有要翻译的文本。\n");
    }
    EXPECT_TRUE(service.requests().empty());

    result = run({"apple"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "错误代码:54001,说明:Invalid Sign\n");

    service.setFault(standin::Fault::NonJsonBody);
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "回复无法识别\n");
    service.stop();
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "请求失败:无法连接到服务器\n");
    EXPECT_EQ(result.out, "");
}

// A document beyond one request: read from a file, written into a file that is replaced only
// once all of it is translated, with a progress line on a terminal unless --quiet.
TEST_F(QuorvelCli, DocumentsGoFromAFileIntoAFileReplacedOnlyWhenAllIsTranslated) {
    storeCredentials();
    const QString chapter = QFileInfo(iniPath()).dir().filePath("chapter.txt");
    const QString translated = QFileInfo(iniPath()).dir().filePath("chapter.zh.txt");
    const QByteArray a(2500, 'a'), b(2500, 'b'), c(2500, 'c');
    ASSERT_TRUE(testsupport::writeFileBytes(chapter, a + "\r\n\r\n" + b + "\n" + c + "\n"));
    ASSERT_TRUE(testsupport::writeFileBytes(translated, "old\n"));

    // A final error stops the document and leaves the file as it was.
    service.scriptNext(1, standin::Fault::ServiceError, "54001");
    CliResult result = run({"-i", chapter, "--output", translated, "--qps", "50"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "错误代码:54001,说明:Invalid Sign\n");
    EXPECT_EQ(testsupport::readFileBytes(translated), "old\n");

    service.clearRequests();
    result = run({"-i", chapter, "-o", translated, "--qps", "50"});
    EXPECT_EQ(result.status, 0) << result.err.data();
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(testsupport::readFileBytes(translated),
              "译：" + a + "\n\n译：" + b + "\n译：" + c + "\n");
    EXPECT_EQ(service.requests().size(), 2u); // a and b together, then c

    const QByteArray shown = onTerminal({"-i", chapter, "-o", translated, "--qps", "50"});
    EXPECT_TRUE(shown.startsWith("\r\x1B[K已完成请求 ")) << shown.data();
    EXPECT_TRUE(shown.endsWith("，剩余约 0秒\r\x1B[K")) << shown.data();
    EXPECT_EQ(onTerminal({"-i", chapter, "-o", translated, "--qps", "50", "--quiet"}), "");

    for (const QStringList& wrong :
         {QStringList{"--qps", "0", "x"}, QStringList{"-i", chapter, "x"},
          QStringList{"-i", chapter + ".missing"}})
        EXPECT_EQ(run(wrong).status, 2) << wrong.join(' ').toStdString();

    // Ctrl+C while a request hangs: the program ends by the signal at once, the file unchanged
    // and no temporary file left beside it.
    service.setFault(standin::Fault::Delay, std::chrono::seconds(60));
    service.clearRequests();
    QProcess interrupted;
    interrupted.start(program(), {"-i", chapter, "-o", translated});
    for (int waited = 0; service.requests().empty() && waited < 500; ++waited)
        QThread::msleep(10);
    ASSERT_FALSE(service.requests().empty());
    ::kill(static_cast<pid_t>(interrupted.processId()), SIGINT);
    ASSERT_TRUE(interrupted.waitForFinished(10000));
    EXPECT_EQ(interrupted.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(testsupport::readFileBytes(translated),
              "译：" + a + "\n\n译：" + b + "\n译：" + c + "\n");
    EXPECT_EQ(QFileInfo(translated).dir().entryList({"chapter.zh.txt*"}, QDir::Files),
              QStringList{"chapter.zh.txt"});
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

// Whatever would not read back as typed is refused, with the reason, before anything is written.
TEST_F(QuorvelCli, ConfigureWritesNothingForAnEmptyOrRefusedEntry) {
    storeCredentials();
    const QByteArray before = settingsBytes();
    const QByteArray zero(1, '\0');
    const struct {
        QByteArray input;
        const char* why;
    } cases[] = {
        {"20260101000000002\n   \n", "不能为空"},
        {"", "不能为空"},
        {"20260101000000002\n" + QByteArray(33, 'k') + "\n", "超过32个字符"},
        {"20260101000000002\n密钥abc\n", "密钥含有无法保存的字符"},
        {"20260101000000002\t\nKey\n", "制表符"},
        {"\v20260101000000002\nKey\n", "制表符"},
        {"\"20260101000000002\"\nKey\n", "引号"},
        {"'2026'\nKey\n", "引号"},
        {"unknown value\nKey\n", "unknown value"},
        {"Unknown section or key\nKey\n", "Unknown section or key"},
        {QByteArray(40000, '7') + "\nKey\n", "32749字节"},
        {"2026\r0101\nKey\n", "APP ID含有换行符"},
        {"20260101000000002\nK\rey\n", "密钥含有换行符"},
        {"2026" + zero + "0101\nKey\n", "空字符"},
        {"20260101000000002\nKey" + zero + "Tail\n", "空字符"},
        {"应用\xF0\x9F\x98\x80\nKey\n", "APP ID含有无法保存的字符"},
    };
    for (const auto& c : cases) {
        const CliResult result = run({"--configure"}, c.input);
        EXPECT_EQ(result.status, 2) << c.input.left(40).data();
        EXPECT_TRUE(result.err.contains(c.why)) << result.err.data();
        EXPECT_TRUE(result.err.contains("设置未作任何更改")) << result.err.data();
    }
    EXPECT_EQ(settingsBytes(), before);
}

// A write that cannot be made after the entries passed (the lock held past its time-out, a
// read-only file) leaves the working pair as it was.
TEST_F(QuorvelCli, ConfigureThatCannotWriteKeepsTheWorkingPair) {
    storeCredentials();
    const QByteArray before = settingsBytes();
    const QByteArray other = "20260101000000002\nOtherKey\n";
    {
        QLockFile lock(iniPath() + ".lock");
        ASSERT_TRUE(lock.tryLock(0));
        const CliResult result = run({"--configure"}, other);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.contains("无法写入设置文件")) << result.err.data();
    }
    const bool immutable = testsupport::setImmutable(iniPath(), true);
    const auto restore = qScopeGuard([&] { testsupport::setImmutable(iniPath(), false); });
    if (immutable || geteuid() != 0) {
        QFile::setPermissions(iniPath(), QFileDevice::ReadOwner);
        EXPECT_EQ(run({"--configure"}, other).status, 2);
    }
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_EQ(run({"apple"}).out, "苹果\n");
}

// Twenty runs of the program at once, each with its own pair, a few killed on the way: the file
// then holds one run's App ID beside that run's key.
TEST_F(QuorvelCli, ConcurrentConfigureRunsLeaveOneRunsWholePair) {
    constexpr int kWriters = 20;
    const auto appId = [](int i) {
        return QStringLiteral("202601010000001%1").arg(i, 2, 10, QChar(u'0'));
    };
    const auto key = [](int i) {
        return QStringLiteral("Key%1of%2").arg(i).arg(kWriters);
    };
    std::mt19937 random(std::random_device{}());
    for (int trial = 0; trial < 3; ++trial) {
        // Each waits for its input, so that all twenty write at once once it comes.
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int i = 0; i < kWriters; ++i)
            writers.emplace_back(std::make_unique<QProcess>())->start(program(), {"--configure"});
        for (const auto& writer : writers)
            ASSERT_TRUE(writer->waitForStarted());
        QThread::msleep(300);
        for (int i = 0; i < kWriters; ++i) {
            writers[i]->write((appId(i) + "\n" + key(i) + "\n").toUtf8());
            writers[i]->closeWriteChannel();
        }
        for (int i = 0; i < kWriters; i += 5) {
            QThread::msleep(std::uniform_int_distribution<int>(0, 40)(random));
            writers[i]->kill();
        }
        for (const auto& writer : writers)
            ASSERT_TRUE(writer->waitForFinished(60000));

        const QString stored = setting("BaiDuKeyInfo", "AppID");
        const int writer = stored.right(2).toInt();
        ASSERT_EQ(stored, appId(writer)) << "trial " << trial;
        EXPECT_EQ(
            modStrHexByte::DecodeSecretKey(stored, setting("BaiDuKeyInfo", "Secret_Key_Encode")),
            key(writer))
            << "trial " << trial;
        EXPECT_TRUE(settingsBytes().startsWith(serviceSettings()));
    }
}

// Something under the settings file's name that is no settings file: the program says so, does
// not wait on it, reads no credentials and writes nothing.
TEST_F(QuorvelCli, NoSettingsFileUnderItsNameIsReadAsAbsentAndNeverWritten) {
    const QString big =
        "[BaiDuKeyInfo]\r\nAppID=1\r\nSecret_Key_Encode=00\r\n;" + QString(4 << 20, u'x');
    for (const auto& [make, why] :
         {std::pair<std::function<bool()>, const char*>(
              [&] { return ::mkfifo(QFile::encodeName(iniPath()).constData(), 0600) == 0; },
              "不是普通文件"),
          std::pair<std::function<bool()>, const char*>([&] { return QDir().mkdir(iniPath()); },
                                                        "不是普通文件"),
          std::pair<std::function<bool()>, const char*>(
              [&] { return testsupport::writeFileBytes(iniPath(), big.toLatin1()); },
              "大于4 MiB")}) {
        QFile::remove(iniPath());
        ASSERT_TRUE(make());
        const QFileInfo before(iniPath());
        CliResult result = runProgram({"apple"});
        EXPECT_EQ(result.status, 4) << why;
        EXPECT_TRUE(result.err.contains(why)) << result.err.data();
        result = runProgram({"--configure"}, kAppId.toUtf8() + "\n" + kKey.toUtf8() + "\n");
        EXPECT_EQ(result.status, 2) << why;
        EXPECT_TRUE(result.err.contains("无法写入设置文件")) << result.err.data();
        const QFileInfo after(iniPath());
        EXPECT_EQ(after.lastModified(), before.lastModified()) << why;
        EXPECT_EQ(after.size(), before.size()) << why;
        QDir(iniPath()).removeRecursively();
    }
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

// Run by a shell, which then writes the program's exit status on standard error.
TEST_F(QuorvelCli, TheProgramEndsWithAReasonWhenItCannotWriteOrReadItsArguments) {
    storeCredentials();
    int brokenPipe[2];
    ASSERT_EQ(pipe(brokenPipe), 0);
    close(brokenPipe[0]);
    const struct {
        const char* line;
        bool intoBrokenPipe;
        QByteArray err;
    } cases[] = {
        {R"("$0" apple >/dev/full)", false,
         "quorvel-cli：无法写入标准输出(No space left on device)，输出不完整。\n5\n"},
        {R"("$0" --help >&-)", false,
         "quorvel-cli：无法写入标准输出(Bad file descriptor)，输出不完整。\n5\n"},
        // Into a pipe nobody reads: ended quietly by SIGPIPE (128 + 13), even when started with
        // SIGPIPE ignored.
        {R"(trap "" PIPE; "$0" apple)", true, "141\n"},
        {R"sh("$0" "$(printf 'caf\351')")sh", false,
         "quorvel-cli：命令行参数不是UTF-8文本，未翻译。\n2\n"},
    };
    for (const auto& c : cases) {
        const CliResult result = runProcess(
            "/bin/sh", {"-c", QString::fromUtf8(c.line) + "; echo $? >&2", program()}, {}, [&] {
                if (c.intoBrokenPipe)
                    dup2(brokenPipe[1], STDOUT_FILENO);
            });
        EXPECT_EQ(result.err, c.err) << c.line;
    }
    close(brokenPipe[1]);
    EXPECT_EQ(service.requests().size(), 2u);
}

// A terminal would act on a reply's control characters; a pipe or a file gets them as they are.
TEST_F(QuorvelCli, ControlCharactersOfAReplyAreNeutralisedOnlyOnATerminal) {
    storeCredentials();
    const struct {
        const char* reply; // none: the stand-in's translation of `text`
        QString text;
        QByteArray piped, shown;
    } cases[] = {
        {nullptr, "\x1B[31mred\tx\x7F\u009B", "译：\x1B[31mred\tx\x7F\xC2\x9B\n",
         "译：\xEF\xBF\xBD[31mred\tx\xEF\xBF\xBD\xEF\xBF\xBD\r\n"},
        {R"({"error_code":"54001","error_msg":"\u001b]0;title\u0007\r"})", "apple",
         "错误代码:54001,说明:\x1B]0;title\x07\r\n",
         "错误代码:54001,说明:\xEF\xBF\xBD]0;title\xEF\xBF\xBD\xEF\xBF\xBD\r\n"},
    };
    for (const auto& c : cases) {
        if (c.reply)
            service.setReply(200, c.reply);
        const CliResult piped = runProgram({c.text});
        EXPECT_EQ(piped.out + piped.err, c.piped);
        EXPECT_EQ(onTerminal({c.text}), c.shown);
    }
}

// The key is typed at a terminal: a pseudo-terminal stands in for it.
TEST(TerminalInput, TheKeyIsNotEchoedAndTheTerminalModeComesBack) {
    int terminal = -1, typist = -1;
    ASSERT_EQ(openpty(&typist, &terminal, nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(isatty(terminal), 1);
    std::optional<QString> typed;
    std::thread reader([&] { typed = cli::ReadTerminalLine(terminal, false); });
    // Characters are echoed as they arrive, so type only once echo is off.
    const bool hidden = EchoBecomes(terminal, false);
    EXPECT_EQ(write(typist, "Secret01\n", 9), 9);
    reader.join();
    EXPECT_TRUE(hidden);
    EXPECT_EQ(typed, QStringLiteral("Secret01"));
    termios mode{};
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

TEST_F(QuorvelCli, TheTerminalComesBackWhenTheProgramIsEndedAtTheKeyPrompt) {
    int typist = -1, terminal = -1;
    ASSERT_EQ(openpty(&typist, &terminal, nullptr, nullptr, nullptr), 0);
    QProcess process;
    process.setChildProcessModifier([terminal] { dup2(terminal, STDIN_FILENO); });
    process.start(program(), {"--configure"});
    EXPECT_EQ(write(typist, "20260101000000001\n", 18), 18);
    EXPECT_TRUE(EchoBecomes(terminal, false)) << "no hidden key prompt";
    process.terminate();
    EXPECT_TRUE(process.waitForFinished());
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << "not ended by SIGTERM";
    termios mode{};
    tcgetattr(terminal, &mode);
    EXPECT_TRUE(mode.c_lflag & ECHO);
    EXPECT_EQ(settingsBytes(), serviceSettings());
    close(typist);
    close(terminal);
}
