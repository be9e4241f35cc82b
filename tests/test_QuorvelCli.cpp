#include "cli/CliArguments.h"
#include "cli/RunCli.h"
#include "cli/TerminalInput.h"
#include "support/WindowFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>

#include <chrono>
#include <functional>

#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using testsupport::kAppId;
using testsupport::kKey;

namespace {

// Waits, a minute at most, until the terminal's echo is `on`.
bool EchoBecomes(int terminal, bool on) {
    termios mode{};
    for (int tries = 0; tries < 6000; ++tries) {
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
    // A copy of the program in a folder of its own beside the settings file, whose settings file
    // is a link to `target`.
    QString linkedProgram(const QString& folderName, const QString& target) {
        const QDir base = QFileInfo(iniPath()).dir();
        base.mkdir(folderName);
        const QDir folder(base.filePath(folderName));
        QFile::link(target, folder.filePath(QStringLiteral("quorvel.ini")));
        const QString copy = folder.filePath(QStringLiteral("quorvel-cli"));
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
        EXPECT_TRUE(result.err.endsWith("quorvel-cli：请用 quorvel-cli --help 查看帮助。\n"));
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(run({}, "caf\xE9\n").status, 2) << "standard input that is not UTF-8";
    for (const CliResult& blank : {run({" ", "\t"}), run({}, " \r\n\n")}) {
        EXPECT_EQ(blank.status, 2);
        EXPECT_EQ(blank.err, "quorvel-cli：没有要翻译的文本。\n");
    }
    EXPECT_TRUE(service.requests().empty());

    // The service's line as it sent it, then what it means and what to do.
    result = run({"apple"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "quorvel-cli：错误代码:54001,说明:Invalid Sign\n"
              "quorvel-cli：签名错误，App ID与密钥不匹配。请检查App ID与密钥是否正确。\n");

    service.setFault(standin::Fault::NonJsonBody);
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "quorvel-cli：回复无法识别\n");
    service.stop();
    result = run({"apple"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.err, "quorvel-cli：请求失败：无法连接到服务器\n");
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

    // A final error stops the document and leaves the file as it was. Whether the other request,
    // sent with it, was answered first is up to the network: the next run starts over.
    service.scriptNext(1, standin::Fault::ServiceError, "54001");
    CliResult result = run({"-i", chapter, "--output", translated, "--qps", "50"});
    service.setFault(standin::Fault::None);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.startsWith(
        "quorvel-cli：错误代码:54001,说明:Invalid Sign\nquorvel-cli：签名错误"))
        << result.err.data();
    EXPECT_EQ(testsupport::readFileBytes(translated), "old\n");

    service.clearRequests();
    result = run({"-i", chapter, "-o", translated, "--qps", "50", "--restart"});
    EXPECT_EQ(result.status, 0) << result.err.data();
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "quorvel-cli：已翻译7501字符，续传节省0字符。\n");
    EXPECT_EQ(testsupport::readFileBytes(translated),
              "译：" + a + "\n\n译：" + b + "\n译：" + c + "\n");
    EXPECT_EQ(service.requests().size(), 2u); // a and b together, then c

    const QByteArray shown = onTerminal({"-i", chapter, "-o", translated, "--qps", "50"});
    EXPECT_TRUE(shown.startsWith("\r\x1B[Kquorvel-cli：已完成请求 ")) << shown.data();
    EXPECT_TRUE(
        shown.endsWith("，剩余约 0秒\r\x1B[Kquorvel-cli：已翻译7501字符，续传节省0字符。\r\n"))
        << shown.data();
    EXPECT_EQ(onTerminal({"-i", chapter, "-o", translated, "--qps", "50", "--quiet"}), "");
    // Onto the terminal of the progress line, lines are written as they are done, each once that
    // line is cleared: no progress line runs into a translated one, and the last comes after them.
    const QByteArray together = onTerminal({"-i", chapter, "--qps", "50"});
    EXPECT_TRUE(together.endsWith("，剩余约 0秒\r\x1B[K")) << together.data();
    QString written;
    for (const QString& piece : QString::fromUtf8(together).split("\r\x1B[K"))
        if (piece.startsWith("quorvel-cli：已完成请求 "))
            EXPECT_FALSE(piece.contains("译：")) << piece.toStdString();
        else
            written += piece;
    EXPECT_EQ(written, "译：" + a + "\r\n\r\n译：" + b + "\r\n译：" + c + "\r\n");

    for (const QStringList& wrong :
         {QStringList{"-i", chapter, "x"}, QStringList{"-i", chapter + ".missing"}})
        EXPECT_EQ(run(wrong).status, 2) << wrong.join(' ').toStdString();

    // Ctrl+C at any moment of the document (before its first request, while the first hangs,
    // after one was answered and the next hangs): the program ends by the signal at once, the
    // file unchanged and no temporary file left beside it.
    service.setFault(standin::Fault::Delay, std::chrono::seconds(60));
    for (const std::size_t arrived : {0u, 1u, 2u}) {
        service.clearRequests();
        if (arrived == 2)
            service.scriptNext(1, standin::Fault::None);
        QProcess interrupted;
        interrupted.start(program(), {"-i", chapter, "-o", translated, "--qps", "50"});
        ASSERT_TRUE(interrupted.waitForStarted());
        // However long a busy machine takes to get there (bounded: a minute).
        for (int waited = 0; service.requests().size() < arrived && waited < 6000; ++waited)
            QThread::msleep(10);
        ASSERT_GE(service.requests().size(), arrived);
        ::kill(static_cast<pid_t>(interrupted.processId()), SIGINT);
        ASSERT_TRUE(interrupted.waitForFinished(10000));
        EXPECT_EQ(interrupted.exitStatus(), QProcess::CrashExit) << arrived;
        EXPECT_EQ(testsupport::readFileBytes(translated),
                  "译：" + a + "\n\n译：" + b + "\n译：" + c + "\n")
            << arrived;
        EXPECT_EQ(QFileInfo(translated).dir().entryList({"chapter.zh.txt*"}, QDir::Files),
                  QStringList{"chapter.zh.txt"})
            << arrived;
    }
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

// Ten runs of the program at once, half through one link to the settings file and half through
// another, each with its own pair, two killed on the way: both links share the file's one lock
// and its one temporary file, so every run not killed saves, and the file then holds one run's
// App ID beside that run's key.
TEST_F(QuorvelCli, ConcurrentConfigureRunsThroughTwoLinksLeaveOneRunsWholePair) {
    constexpr int kWriters = 10;
    const auto appId = [](int i) {
        return QStringLiteral("202601010000001%1").arg(i, 2, 10, QChar(u'0'));
    };
    const auto key = [](int i) {
        return QStringLiteral("Key%1of%2").arg(i).arg(kWriters);
    };
    const QString programs[] = {linkedProgram("a", iniPath()), linkedProgram("b", iniPath())};
    for (int trial = 0; trial < 3; ++trial) {
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int i = 0; i < kWriters; ++i) {
            QProcess& writer = *writers.emplace_back(std::make_unique<QProcess>());
            writer.start(programs[i % 2], {"--configure"});
            ASSERT_TRUE(writer.waitForStarted());
        }
        // All have started before any gets its entries, so that they save at once.
        for (int i = 0; i < kWriters; ++i) {
            writers[i]->write((appId(i) + "\n" + key(i) + "\n").toUtf8());
            writers[i]->closeWriteChannel();
            ASSERT_TRUE(writers[i]->waitForBytesWritten());
        }
        for (int i = 0; i < kWriters; i += 5)
            writers[i]->kill();
        for (int i = 0; i < kWriters; ++i) {
            ASSERT_TRUE(writers[i]->waitForFinished(60000));
            EXPECT_TRUE(i % 5 == 0 || writers[i]->exitCode() == 0)
                << "trial " << trial << ", run " << i << ": "
                << writers[i]->readAllStandardError().constData();
        }

        const QString stored = setting("BaiDuKeyInfo", "AppID");
        const int writer = stored.right(2).toInt();
        ASSERT_EQ(stored, appId(writer)) << "trial " << trial;
        EXPECT_EQ(
            modStrHexByte::DecodeSecretKey(stored, setting("BaiDuKeyInfo", "Secret_Key_Encode")),
            key(writer))
            << "trial " << trial;
        EXPECT_TRUE(settingsBytes().startsWith(serviceSettings()));
        for (const QString& program : programs)
            EXPECT_TRUE(QFileInfo(QFileInfo(program).dir().filePath("quorvel.ini")).isSymLink());
    }
}

// A link that points to nothing is no settings file: nothing is read through it, and a save
// neither creates the file it names nor replaces the link.
TEST_F(QuorvelCli, ADanglingLinkIsNoSettingsFileAndIsNeverReplaced) {
    const QString gone = iniPath() + ".gone";
    const QString program = linkedProgram("dangling", gone);
    const QString link = QFileInfo(program).dir().filePath("quorvel.ini");
    EXPECT_EQ(runProcess(program, {"apple"}).status, 4);
    const CliResult result =
        runProcess(program, {"--configure"}, kAppId.toUtf8() + "\n" + kKey.toUtf8() + "\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("无法写入设置文件")) << result.err.data();
    EXPECT_TRUE(result.err.contains("（没有那个文件或目录）")) << result.err.data();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), gone);
    EXPECT_FALSE(QFileInfo::exists(gone));
}

// A save that would make the file larger than a read takes (after which the whole file would
// read as empty) is refused with the reason, in the window as at the command line; the file and
// the working pair stay.
TEST_F(QuorvelCli, ASaveThatWouldPassTheSizeLimitIsRefusedWithTheReason) {
    QByteArray full = serviceSettings() + credentialSettings() + ";";
    full += QByteArray((4 << 20) - full.size() - 2, 'x') + "\r\n";
    writeSettings(full);
    const QString longerAppId = QStringLiteral("2026010100000000299");
    const CliResult result = run({"--configure"}, longerAppId.toUtf8() + "\n" + kKey.toUtf8());
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.contains("保存后设置文件将大于4 MiB")) << result.err.data();
    EXPECT_TRUE(result.err.contains("设置未作任何更改")) << result.err.data();
    EXPECT_EQ(settingsBytes(), full);
    EXPECT_EQ(run({"apple"}).out, "苹果\n");

    openWindow();
    dialogs.answerInputs({longerAppId, kKey});
    click("Command3");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_TRUE(dialogs.shown.back().prompt.contains("保存后设置文件将大于4 MiB"))
        << dialogs.shown.back().prompt.toStdString();
    EXPECT_EQ(settingsBytes(), full);
    EXPECT_EQ(translate("apple"), "苹果");
}

// Something under the settings file's name that is no settings file: the program says so, does
// not wait on it, reads no credentials and writes nothing.
TEST_F(QuorvelCli, NoSettingsFileUnderItsNameIsReadAsAbsentAndNeverWritten) {
    const QString big =
        "[BaiDuKeyInfo]\r\nAppID=1\r\nSecret_Key_Encode=00\r\n;" + QString(4 << 20, u'x');
    using Case = std::tuple<std::function<bool()>, const char*, const char*>;
    for (const auto& [make, why, notWritten] :
         {Case([&] { return ::mkfifo(QFile::encodeName(iniPath()).constData(), 0600) == 0; },
               "不是普通文件", "（不允许的操作），"),
          Case([&] { return QDir().mkdir(iniPath()); }, "不是普通文件", "（是一个目录），"),
          Case([&] { return testsupport::writeFileBytes(iniPath(), big.toLatin1()); }, "大于4 MiB",
               "（文件过大），")}) {
        QFile::remove(iniPath());
        ASSERT_TRUE(make());
        const QFileInfo before(iniPath());
        CliResult result = runProgram({"apple"});
        EXPECT_EQ(result.status, 4) << why;
        EXPECT_TRUE(result.err.contains(why)) << result.err.data();
        result = runProgram({"--configure"}, kAppId.toUtf8() + "\n" + kKey.toUtf8() + "\n");
        EXPECT_EQ(result.status, 2) << why;
        EXPECT_TRUE(result.err.contains("无法写入设置文件")) << result.err.data();
        EXPECT_TRUE(result.err.contains(notWritten)) << result.err.data();
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
         "quorvel-cli：无法写入标准输出（磁盘空间已满），输出不完整。\n5\n"},
        {R"("$0" --help >&-)", false,
         "quorvel-cli：无法写入标准输出（文件描述符无效），输出不完整。\n5\n"},
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
    const QByteArray wrongSignAdvice =
        "quorvel-cli：签名错误，App ID与密钥不匹配。请检查App ID与密钥是否正确。";
    const struct {
        const char* reply; // none: the stand-in's translation of `text`
        QString text;
        QByteArray piped, shown;
    } cases[] = {
        {nullptr, "\x1B[31mred\tx\x7F\u009B", "译：\x1B[31mred\tx\x7F\xC2\x9B\n",
         "译：\xEF\xBF\xBD[31mred\tx\xEF\xBF\xBD\xEF\xBF\xBD\r\n"},
        {R"({"error_code":"54001","error_msg":"\u001b]0;title\u0007\r"})", "apple",
         "quorvel-cli：错误代码:54001,说明:\x1B]0;title\x07\r\n" + wrongSignAdvice + "\n",
         "quorvel-cli：错误代码:54001,说明:\xEF\xBF\xBD]0;title\xEF\xBF\xBD\xEF\xBF\xBD\r\n" +
             wrongSignAdvice + "\r\n"},
        // Format characters reorder or hide text: bidirectional overrides, embeddings and
        // isolates, zero-width characters, the byte order mark, a tag.
        {nullptr, "a\u202Eb\u2066c\u200Bd\u200Fe\uFEFFf\u061Cg\u2060h\U000E0041i",
         "译：a\u202Eb\u2066c\u200Bd\u200Fe\uFEFFf\u061Cg\u2060h\U000E0041i\n",
         "译：a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD"
         "c\xEF\xBF\xBD"
         "d\xEF\xBF\xBD"
         "e\xEF\xBF\xBD"
         "f\xEF\xBF\xBD"
         "g\xEF\xBF\xBD"
         "h\xEF\xBF\xBD"
         "i\r\n"},
    };
    for (const auto& c : cases) {
        service.setFault(standin::Fault::None);
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

TEST_F(QuorvelCli, TheTerminalComesBackWhateverSignalEndsTheProgramAtTheKeyPrompt) {
    for (const int signal :
         {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE, SIGVTALRM, SIGRTMIN + 2}) {
        int typist = -1, terminal = -1;
        ASSERT_EQ(openpty(&typist, &terminal, nullptr, nullptr, nullptr), 0);
        QProcess process;
        process.setChildProcessModifier([terminal] { dup2(terminal, STDIN_FILENO); });
        process.start(program(), {"--configure"});
        EXPECT_EQ(write(typist, "20260101000000001\n", 18), 18);
        EXPECT_TRUE(EchoBecomes(terminal, false)) << "no hidden key prompt";
        ::kill(static_cast<pid_t>(process.processId()), signal);
        EXPECT_TRUE(process.waitForFinished());
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << signal;
        EXPECT_EQ(process.exitCode(), signal) << "not ended by its own signal";
        termios mode{};
        tcgetattr(terminal, &mode);
        EXPECT_TRUE(mode.c_lflag & ECHO) << signal;
        close(typist);
        close(terminal);
    }
    EXPECT_EQ(settingsBytes(), serviceSettings());
}

// A NUL would cut the App ID or the key short: refused whether typed or piped.
TEST_F(QuorvelCli, ANulInTheAppIdOrTheKeyIsRefusedTypedOrPiped) {
    const QByteArray zero(1, '\0');
    for (const QByteArray& piped : {"2026" + zero + "0101\n" + kKey.toUtf8() + "\n",
                                    kAppId.toUtf8() + "\nQuorvel" + zero + "TestKey01\n"}) {
        const CliResult result = runProgram({"--configure"}, piped);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.contains("空字符")) << result.err.data();
    }

    int typist = -1, terminal = -1;
    ASSERT_EQ(openpty(&typist, &terminal, nullptr, nullptr, nullptr), 0);
    QProcess process;
    process.setChildProcessModifier([terminal] { dup2(terminal, STDIN_FILENO); });
    process.start(program(), {"--configure"});
    const QByteArray appId = kAppId.toUtf8() + "\n";
    EXPECT_EQ(write(typist, appId.constData(), appId.size()), appId.size());
    EXPECT_TRUE(EchoBecomes(terminal, false)) << "no hidden key prompt";
    EXPECT_EQ(write(typist, "Quorvel\0TestKey01\n", 18), 18);
    EXPECT_TRUE(process.waitForFinished());
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("空字符"));
    close(typist);
    close(terminal);
    EXPECT_EQ(settingsBytes(), serviceSettings());
}

// -o onto anything but a regular file writes into it as it is: a FIFO, also through a link,
// gets the translation and stays a FIFO; standard output as a path is written, a file behind it
// appended to; a socket, which cannot be opened, stays. Nothing is made beside them.
TEST_F(QuorvelCli, OutputOntoAnythingButARegularFileIsWrittenIntoAndNeverReplaced) {
    storeCredentials();
    const QDir folder = QFileInfo(iniPath()).dir();
    const QString fifo = folder.filePath("fifo"), link = folder.filePath("link");
    const QString socketPath = folder.filePath("socket"), log = folder.filePath("log");
    const auto kind = [](const QString& path) {
        struct stat status {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT
                                                                          : 0;
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, link));
    for (const QString& target : {fifo, link}) {
        // Opened first, without waiting, so that the program finds a reader when it opens.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const CliResult result = runProgram({"apple", "-o", target});
        char received[64];
        const ssize_t got = ::read(reader, received, sizeof received);
        ::close(reader);
        EXPECT_EQ(result.status, 0) << result.err.data();
        EXPECT_EQ(QByteArray(received, static_cast<int>(std::max<ssize_t>(got, 0))), "苹果\n");
    }
    EXPECT_EQ(kind(fifo), S_IFIFO);
    EXPECT_EQ(kind(link), S_IFLNK);

    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(socketPath);
    ASSERT_LT(socketName.size(), static_cast<int>(sizeof address.sun_path));
    std::copy(socketName.begin(), socketName.end(), address.sun_path);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    CliResult result = runProgram({"apple", "-o", socketPath});
    ::close(listener);
    EXPECT_EQ(result.status, 5);
    EXPECT_EQ(QString::fromUtf8(result.err),
              "quorvel-cli：无法写入输出文件" + socketPath + "：没有那个设备或地址。\n");
    EXPECT_EQ(kind(socketPath), S_IFSOCK);

    EXPECT_EQ(runProgram({"apple", "-o", "/dev/stdout"}).out, "苹果\n");
    ASSERT_TRUE(testsupport::writeFileBytes(log, "old\n"));
    result = runProcess("/bin/sh", {"-c", R"("$0" apple -o /dev/stdout >>"$1")", program(), log});
    EXPECT_EQ(result.status, 0) << result.err.data();
    EXPECT_EQ(testsupport::readFileBytes(log), "old\n苹果\n");

    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"fifo", "link", "log", "quorvel-cli", "quorvel.ini", "socket"}));
}

// A line break inside a translation becomes a blank: the output keeps the input's line count.
TEST_F(QuorvelCli, EachTranslationIsOneLineOfTheOutput) {
    storeCredentials();
    service.setReply(200, R"({"from":"en","to":"zh","trans_result":[{"src":"a","dst":"x\ny"},)"
                          R"({"src":"b","dst":"p\r\nq\rr\u2028s\u2029t\u0085u\u000bv\fw"},)"
                          R"({"src":"c","dst":"\n"}]})");
    const CliResult result = runProgram({}, "a\nb\nc\n");
    EXPECT_EQ(result.status, 0) << result.err.data();
    EXPECT_EQ(result.out, "x y\np q r s t u v w\n \n");
}

// --qps and the settings file's QPS take 0.01 to 1000; anything else is refused before anything
// is sent.
TEST_F(QuorvelCli, ARateOutsideAHundredthToAThousandIsRefusedWithNothingSent) {
    storeCredentials();
    for (const char* rate :
         {"0", "0.009", "1e-10", "-1", "1000.5", "1e400", "nan", "inf", "-inf", "x", ""}) {
        const CliResult result = run({"--qps", rate, "apple"});
        EXPECT_EQ(result.status, 2) << rate;
        EXPECT_TRUE(result.err.contains("--qps需要一个0.01到1000之间的数（每秒请求数）"))
            << result.err.data();
    }
    for (const char* stored : {"1e-10", "nan", "inf", "0", "5000", "abc"}) {
        writeSettings(serviceSettings() + "QPS=" + stored + "\r\n" + credentialSettings());
        const CliResult result = run({"apple"});
        EXPECT_EQ(result.status, 2) << stored;
        EXPECT_EQ(
            result.err,
            "quorvel-cli：设置文件中[Service]下的QPS应是一个0.01到1000之间的数（每秒请求数），"
            "请改正，或用--qps指定。未翻译。\n");
    }
    EXPECT_TRUE(service.requests().empty());

    EXPECT_EQ(run({"--qps", "1000", "apple"}).status, 0); // over the QPS of the file
    writeSettings(serviceSettings() + "QPS= 0.01 \r\n" + credentialSettings());
    EXPECT_EQ(run({"apple"}).status, 0);
    EXPECT_EQ(service.requests().size(), 2u);
}

// What a command line asks for, as the parser reads it: what differs from a plain translation
// of standard input into standard output ("from=en text=[a b]"), or "refused: " and the error.
std::string Effect(const QStringList& arguments) {
    const cli::CliRequest request = cli::ParseArguments(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&request))
        return "refused: " + error->message.toStdString();
    const auto* translate = std::get_if<cli::TranslateRequest>(&request);
    if (!translate)
        return "no translation";
    QStringList effect;
    if (translate->from != "auto")
        effect += "from=" + translate->from;
    if (translate->to != "zh")
        effect += "to=" + translate->to;
    if (translate->text)
        effect += "text=[" + *translate->text + "]";
    if (translate->inputFile)
        effect += "in=" + *translate->inputFile;
    if (translate->outputFile)
        effect += "out=" + *translate->outputFile;
    if (translate->requestsPerSecond)
        effect += "qps=" + QString::number(*translate->requestsPerSecond);
    if (translate->quiet)
        effect += "quiet";
    if (translate->restart)
        effect += "restart";
    return effect.join(' ').toStdString();
}

TEST(CliArguments, EachArgumentListIsReadAsItsOptionsSay) {
    const struct {
        QStringList arguments;
        const char* effect; // ending in "…": the error starts so
    } cases[] = {
        {{"--source=EN", "--target=jp", "a", "b"}, "from=en to=jp text=[a b]"},
        {{"-sen", "-t", "de", "a"}, "from=en to=de text=[a]"},
        {{"--qps=2.5", "-q", "a"}, "text=[a] qps=2.5 quiet"},
        {{"--input=in.txt", "--output=out.txt", "--restart"}, "in=in.txt out=out.txt restart"},
        {{"-i", "in.txt", "-o", "out.txt"}, "in=in.txt out=out.txt"},
        // After "--" everything is text, "-" and option names included.
        {{"--", "-s", "--qps", "-"}, "text=[-s --qps -]"},
        {{"a", "--", "--quiet"}, "text=[a --quiet]"},
        // "-" is standard input or output, never a file of that name.
        {{"-"}, ""},
        {{"-i", "-", "--quiet"}, "quiet"},
        {{"--input=-"}, ""},
        {{"-o", "-", "a"}, "text=[a]"},
        {{"--output=-", "-"}, ""},
        // An option the table does not hold is refused, whatever it looks like; never taken as
        // another option (an unknown value option was once taken as --qps).
        {{"--rate", "5", "a"}, "refused: 未知选项“--rate”。…"},
        {{"--sauce=en", "a"}, "refused: 未知选项“--sauce=en”。…"},
        {{"-x", "a"}, "refused: 未知选项“-x”。…"},
        {{"-qx", "a"}, "refused: 未知选项“-qx”。…"},
        {{"--=a"}, "refused: 未知选项“--=a”。…"},
        {{"--quiet=yes", "a"}, "refused: 选项“--quiet”不带值。"},
        {{"a", "-o"}, "refused: 选项“-o”需要一个值。"},
        {{"--qps"}, "refused: 选项“--qps”需要一个值。"},
        {{"--source=en", "--qps=fast", "a"},
         "refused: --qps需要一个0.01到1000之间的数（每秒请求数），而不是“fast”。"},
        {{"-i", "in.txt", "a"}, "refused: 输入文件（-i或“-”）与要翻译的文本不能同时给出。"},
        {{"-", "a"}, "refused: 输入文件（-i或“-”）与要翻译的文本不能同时给出。"},
        {{"-i", "in.txt", "-"}, "refused: 输入文件（-i或“-”）与要翻译的文本不能同时给出。"},
        {{"--configure", "-"}, "refused: --configure不能与其他选项或文本同时使用。"},
    };
    for (const auto& c : cases) {
        std::string expected = c.effect;
        std::string effect = Effect(c.arguments);
        if (expected.ends_with("…")) {
            expected.resize(expected.size() - std::string("…").size());
            effect.resize(std::min(effect.size(), expected.size()));
        }
        EXPECT_EQ(effect, expected) << c.arguments.join(' ').toStdString();
    }
}

// "-" reads standard input and writes standard output: the streams, and no file is made.
TEST_F(QuorvelCli, ADashIsStandardInputOrOutput) {
    storeCredentials();
    for (const QStringList& arguments :
         {QStringList{"-"}, QStringList{"-i", "-"}, QStringList{"-i", "-", "-o", "-"},
          QStringList{"--output=-", "-"}}) {
        const CliResult result = runProgram(arguments, "hello\n");
        EXPECT_EQ(result.status, 0) << result.err.data();
        EXPECT_EQ(result.out, "你好\n") << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(runProgram({"-o", "-", "apple"}).out, "苹果\n");
    EXPECT_EQ(runProgram({"--", "-"}).status, 0);
    EXPECT_EQ(sentField("q", 5), "-");
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath("-")));
}

// Every line on standard error starts with the program's name, and a file that cannot be read
// or written is told why in Chinese.
TEST_F(QuorvelCli, EveryLineOnStandardErrorStartsWithTheProgramsName) {
    const QDir folder = QFileInfo(iniPath()).dir();
    const QString missing = folder.filePath("missing.txt");
    const struct {
        QStringList arguments;
        int status;
        const char* reason; // in the first line
    } cases[] = {
        {{"apple"}, 4, "ID或者KEY未设置"},
        {{"--bogus"}, 2, "未知选项“--bogus”"},
        {{"apple", "--qps"}, 2, "选项“--qps”需要一个值。"},
        {{"-i", missing}, 2, "：没有那个文件或目录。"},
        {{"-i", folder.path()}, 2, "：是一个目录。"},
        {{"-i", folder.filePath("quorvel.ini/x")}, 2, "：路径中有一部分不是目录。"},
        {{"--dry-run", "-i", missing}, 2, "：没有那个文件或目录。"},
        {{"apple", "-o", folder.filePath("none/out.txt")}, 5, "：没有那个文件或目录。"},
    };
    writeSettings(serviceSettings());
    for (const auto& c : cases) {
        if (c.status != 4)
            storeCredentials();
        const CliResult result = runProgram(c.arguments);
        const std::string line = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.status, c.status) << line;
        const QStringList lines = QString::fromUtf8(result.err).split('\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty()) << line;
        EXPECT_TRUE(lines[0].contains(QString::fromUtf8(c.reason))) << result.err.data();
        for (const QString& written : lines)
            EXPECT_TRUE(written.startsWith("quorvel-cli：")) << written.toStdString();
    }
    // A folder as standard input opens but cannot be read.
    const CliResult unread =
        runProcess("/bin/sh", {"-c", R"("$0" --dry-run - <"$1")", program(), folder.path()});
    EXPECT_EQ(unread.status, 2);
    EXPECT_TRUE(unread.err.startsWith("quorvel-cli：")) << unread.err.data();
    EXPECT_TRUE(unread.err.endsWith("：是一个目录\n")) << unread.err.data();
    EXPECT_TRUE(service.requests().empty());
}

// The exit statuses, 130 (Ctrl+C) and 141 (a broken pipe) included, in --help and the README.
TEST_F(QuorvelCli, EveryExitStatusIsListedInTheHelpAndTheReadme) {
    const QString help = QString::fromUtf8(run({"--help"}).out);
    QFile readme(QStringLiteral(QUORVEL_FIXTURES "/../../README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString readmeText = QString::fromUtf8(readme.readAll());
    for (const char* status : {"0", "1", "2", "3", "4", "5", "130", "141"}) {
        const QRegularExpression helpLine(QStringLiteral("\\n +%1  \\S").arg(status));
        EXPECT_TRUE(help.contains(helpLine)) << status;
        EXPECT_TRUE(readmeText.contains(QStringLiteral("\n| %1 | ").arg(status))) << status;
    }
}
