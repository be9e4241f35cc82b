// Documents into -o that resume: the real program, killed or stopped on the way and run again,
// against the stand-in service, which counts what it was sent.

#include "documents/DocumentJournal.h"
#include "support/WindowFixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <random>
#include <set>
#include <sys/stat.h>

using standin::Fault;

namespace {

struct Ran {
    int status = -1;
    QByteArray out, err;
    QStringList sent; // the q of every request the service received meanwhile
};

// The q of requests in a short form, sorted: those sent together arrive in any order.
QStringList Briefly(QStringList texts) {
    for (QString& text : texts)
        if (text.size() > 12)
            text = QStringLiteral("%1…(%2)").arg(text.left(7)).arg(text.size());
    texts.sort();
    return texts;
}

// Lines of `bytes` ASCII bytes each, no two alike, none that the service has in its glossary.
QByteArray Lines(int count, int bytes, char filler) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray("line") + QByteArray::number(i).rightJustified(3, '0') +
                QByteArray(bytes - 7, filler) + "\n";
    return text;
}

// What one run gives for those lines from English into Chinese: the stand-in's "译：" + line.
QByteArray Translated(const QByteArray& lines) {
    QByteArray text;
    for (const QByteArray& line : lines.split('\n'))
        if (!line.isEmpty())
            text += "译：" + line + "\n";
    return text;
}

qint64 Characters(const QStringList& texts) {
    qint64 count = 0;
    for (const QString& text : texts)
        count += text.size(); // ASCII only
    return count;
}

class DocumentResume : public ServiceWindowFixture {
protected:
    void SetUp() override {
        ServiceWindowFixture::SetUp();
        writeSettings(serviceSettings() + credentialSettings());
        folder = QFileInfo(iniPath()).dir();
        input = folder.filePath("book.txt");
        output = folder.filePath("book.zh.txt");
        journal = folder.filePath(".book.zh.txt.quorvel-journal");
        const QString copy = folder.filePath("quorvel-cli");
        QFile::copy(QStringLiteral(QUORVEL_CLI_PROGRAM), copy);
        program = copy;
    }
    QStringList arguments(const QStringList& more = {}) const {
        return QStringList{"-s", "en", "-t", "zh", "-i", input, "-o", output} + more;
    }
    // A stand-in of its own for the next run, so that a request of a killed run that the
    // service reads only later is not taken for one of the run after it.
    standin::StandInService& serveNextRun() {
        current =
            runServices
                .emplace_back(std::make_unique<standin::StandInService>(testsupport::TestAccount()))
                .get();
        current->start();
        writeSettings(QByteArray("[Service]\r\nHttpEndpoint=") + current->endpoint().c_str() +
                      "\r\n" + credentialSettings());
        return *current;
    }
    static QStringList SentTo(const standin::StandInService& to, std::size_t first = 0) {
        QStringList texts;
        const auto requests = to.requests();
        for (std::size_t i = first; i < requests.size(); ++i)
            texts << testsupport::FormField(requests[i].body, "q");
        return texts;
    }
    Ran run(const QStringList& args) {
        const std::size_t before = current->requests().size();
        QProcess process;
        process.start(program, args);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError(),
                SentTo(*current, before)};
    }
    // Started, and killed with SIGKILL once the service has received `requests` of its requests
    // (or when it ends by itself first).
    Ran killedAfter(std::size_t requests, const QStringList& args) {
        const std::size_t before = current->requests().size();
        QProcess process;
        process.start(program, args);
        for (int waited = 0; current->requests().size() < before + requests &&
                             process.state() != QProcess::NotRunning && waited < 6000;
             ++waited)
            QThread::msleep(5);
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished(10000);
        return {-1, {}, {}, SentTo(*current, before)};
    }
    // "已翻译X字符，续传节省Y字符" as {X, Y}; {-1, -1} when the line is missing.
    static std::pair<qint64, qint64> Summary(const QByteArray& err) {
        const QRegularExpressionMatch match =
            QRegularExpression("quorvel-cli：已翻译(\\d+)字符，续传节省(\\d+)字符")
                .match(QString::fromUtf8(err));
        if (!match.hasMatch())
            return {-1, -1};
        return {match.captured(1).toLongLong(), match.captured(2).toLongLong()};
    }
    QStringList journals() const {
        return folder.entryList({"*quorvel-journal*"}, QDir::Files | QDir::Hidden);
    }
    // Stopped by 54004 after `answered` requests got their answers.
    Ran stoppedAfter(int answered, const QStringList& args) {
        service.scriptNext(answered, Fault::None);
        service.scriptNext(1, Fault::ServiceError, "54004");
        return run(args);
    }

    QDir folder;
    QString program, input, output, journal;
    standin::StandInService* current = &service;
    std::vector<std::unique_ptr<standin::StandInService>> runServices;
};

// Four requests, one line each: "hello", 5998 a, "apple", 5998 b (none fits beside another).
const QByteArray kFour =
    "hello\n" + QByteArray(5998, 'a') + "\napple\n" + QByteArray(5998, 'b') + "\n";
const QByteArray kFourTranslated =
    "你好\n译：" + QByteArray(5998, 'a') + "\n苹果\n译：" + QByteArray(5998, 'b') + "\n";

// The lines of kFour that are not among `answered`.
QStringList Unanswered(const QStringList& answered) {
    QStringList left;
    for (const QString& line :
         {QString("hello"), QString(5998, 'a'), QString("apple"), QString(5998, 'b')})
        if (!answered.contains(line))
            left << line;
    return left;
}

// What the stand-in answers for a line of kFour.
QByteArray TranslationOf(const QString& line) {
    if (line == u"hello")
        return "你好";
    if (line == u"apple")
        return "苹果";
    return "译：" + line.toUtf8();
}

} // namespace

// Killed at random moments, several times, then run until done: the same file as one run, and
// what each kill cost is no more than what was in flight then (at --qps 4, 8 workers).
TEST_F(DocumentResume, AKilledDocumentRunAgainSendsOnlyWhatWasNotAnsweredAndEndsTheSame) {
    const QByteArray document = Lines(36, 4000, 'x'); // one line a request
    ASSERT_TRUE(testsupport::writeFileBytes(input, document));
    ASSERT_TRUE(testsupport::writeFileBytes(output, "old\n"));
    const qint64 documentCharacters = 36 * 4000;
    constexpr int kWorkers = 8;

    std::mt19937 random(std::random_device{}());
    std::set<QString> seen;
    for (int round = 0; round < 3; ++round) {
        const int left = 36 - static_cast<int>(seen.size());
        const int at = std::uniform_int_distribution<int>(std::max(1, left / 4), left / 2)(random);
        serveNextRun();
        const Ran runKilled = killedAfter(static_cast<std::size_t>(at), arguments({"--qps", "4"}));
        ASSERT_GE(runKilled.sent.size(), at) << "round " << round;
        seen.insert(runKilled.sent.begin(), runKilled.sent.end());
        EXPECT_EQ(testsupport::readFileBytes(output), "old\n") << "round " << round;
        EXPECT_EQ(journals(), QStringList{".book.zh.txt.quorvel-journal"});
    }
    serveNextRun();
    const Ran last = run(arguments({"--qps", "100"}));
    ASSERT_EQ(last.status, 0) << last.err.data();
    EXPECT_TRUE(testsupport::readFileBytes(output) == Translated(document));
    EXPECT_TRUE(journals().isEmpty());

    // Once stopped, each service has recorded every request it read.
    std::vector<QStringList> killed;
    for (std::size_t k = 0; k + 1 < runServices.size(); ++k) {
        runServices[k]->stop();
        killed.push_back(SentTo(*runServices[k]));
    }

    // A request sent again was in flight at a kill: at most as many as there are workers.
    qint64 sentAgain = 0;
    QStringList all = last.sent;
    for (std::size_t k = killed.size(); k-- > 0;) {
        QStringList again;
        for (const QString& q : killed[k])
            if (all.contains(q))
                again << q;
        EXPECT_LE(again.size(), kWorkers) << "kill " << k;
        sentAgain += Characters(again);
        all += killed[k];
    }
    EXPECT_EQ(Characters(all), documentCharacters + sentAgain);
    EXPECT_EQ(Summary(last.err),
              std::pair(Characters(last.sent), documentCharacters - Characters(last.sent)));
}

// 54004 (the balance ran out) stops it; once the account is topped up, the same command goes
// on where it stopped and says what the journal saved.
TEST_F(DocumentResume, AStopByTheServiceResumesWhereItStopped) {
    ASSERT_TRUE(testsupport::writeFileBytes(input, kFour));
    const Ran stopped = stoppedAfter(2, arguments({"--qps", "2"}));
    EXPECT_EQ(stopped.status, 1);
    EXPECT_TRUE(stopped.err.startsWith("quorvel-cli：错误代码:54004,说明:Please recharge\n"))
        << stopped.err.data();
    EXPECT_TRUE(stopped.err.endsWith("；再次运行同一命令即可从中断处继续。\n"))
        << stopped.err.data();
    // Those sent together arrive in any order: the first two the service read were answered.
    ASSERT_GE(stopped.sent.size(), 3);
    const QStringList answered = stopped.sent.mid(0, 2);
    EXPECT_EQ(Summary(stopped.err), std::pair(Characters(answered), qint64{0}));
    EXPECT_FALSE(QFileInfo::exists(output));
    struct stat about {};
    ASSERT_EQ(::stat(QFile::encodeName(journal).constData(), &about), 0);
    EXPECT_EQ(about.st_mode & 07777, 0600u);

    const Ran resumed = run(arguments({"--qps", "2"}));
    EXPECT_EQ(resumed.status, 0) << resumed.err.data();
    EXPECT_EQ(Briefly(resumed.sent), Briefly(Unanswered(answered)));
    EXPECT_EQ(Summary(resumed.err), std::pair(12006 - Characters(answered), Characters(answered)));
    EXPECT_TRUE(testsupport::readFileBytes(output) == kFourTranslated);
    EXPECT_TRUE(journals().isEmpty());

    // Into standard output nothing is kept: a stopped one starts over.
    EXPECT_EQ(stoppedAfter(2, {"-s", "en", "-i", input, "--qps", "2"}).status, 1);
    EXPECT_TRUE(journals().isEmpty());
    EXPECT_EQ(run({"-s", "en", "-i", input, "--qps", "100"}).sent.size(), 4);
}

// Another input, other codes, another output or --restart: all of it is sent again.
TEST_F(DocumentResume, AnotherInputCodeOrOutputOrRestartStartsOver) {
    const QByteArray changed = "hallo\n" + kFour.mid(6);
    const QString other = folder.filePath("other.zh.txt");
    const struct {
        const char* what;
        QByteArray document;
        QStringList arguments;
        QString output;
        QByteArray translated;
    } cases[] = {
        {"changed input", changed, arguments(), output, "译：hallo\n" + kFourTranslated.mid(7)},
        {"other target",
         kFour,
         {"-s", "en", "-t", "jp", "-i", input, "-o", output},
         output,
         "[jp] hello\n[jp] " + QByteArray(5998, 'a') + "\n[jp] apple\n[jp] " +
             QByteArray(5998, 'b') + "\n"},
        {"other output",
         kFour,
         {"-s", "en", "-t", "zh", "-i", input, "-o", other},
         other,
         kFourTranslated},
        {"--restart", kFour, arguments({"--restart"}), output, kFourTranslated},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(testsupport::writeFileBytes(input, kFour));
        ASSERT_EQ(stoppedAfter(2, arguments({"--qps", "2"})).status, 1) << c.what;
        ASSERT_TRUE(QFileInfo::exists(journal)) << c.what;
        ASSERT_TRUE(testsupport::writeFileBytes(input, c.document));
        const Ran again = run(c.arguments + QStringList{"--qps", "100"});
        EXPECT_EQ(again.status, 0) << c.what << again.err.data();
        EXPECT_EQ(again.sent.size(), 4) << c.what;
        EXPECT_EQ(Summary(again.err).second, 0) << c.what;
        EXPECT_TRUE(testsupport::readFileBytes(c.output) == c.translated) << c.what;
        QFile::remove(journal);
    }
}

// A kill in the middle of a write leaves a last record cut anywhere: it is dropped, the ones
// before it are used.
TEST_F(DocumentResume, AJournalCutAnywhereInItsLastRecordStillResumes) {
    ASSERT_TRUE(testsupport::writeFileBytes(input, kFour));
    const Ran stopped = stoppedAfter(3, arguments({"--qps", "2"}));
    ASSERT_EQ(stopped.status, 1);
    const QByteArray whole = testsupport::readFileBytes(journal);
    // Header: 8 bytes of magic, 32 of identity; a record: 4 bytes of length, 8 of checksum,
    // then the payload of that length. Three records: hello, the a's, apple.
    std::vector<qsizetype> starts;
    for (qsizetype at = 40; at + 4 <= whole.size();) {
        starts.push_back(at);
        const auto* length = reinterpret_cast<const unsigned char*>(whole.constData() + at);
        at += 12 + (length[0] | length[1] << 8 | length[2] << 16 | length[3] << 24);
    }
    ASSERT_EQ(starts.size(), 3u);
    // Answers are recorded as they come, in any order: the last record holds one of the three
    // lines the service answered, the fourth was never sent.
    const QByteArray lastRecord = whole.mid(starts[2]);
    ASSERT_GE(stopped.sent.size(), 3);
    const QStringList answered = stopped.sent.mid(0, 3);
    QString lastAnswered;
    for (const QString& line : answered)
        if (lastRecord.contains(TranslationOf(line)))
            lastAnswered = line;
    ASSERT_FALSE(lastAnswered.isEmpty());

    // Every byte of the record's length, checksum and first payload bytes, then a few cuts
    // through a payload that may be thousands of bytes long, and the whole journal.
    std::vector<qsizetype> cuts;
    for (qsizetype cut = starts[2]; cut < std::min(starts[2] + 32, whole.size()); ++cut)
        cuts.push_back(cut);
    for (int part = 1; part < 8; ++part)
        cuts.push_back(starts[2] + 32 + (whole.size() - starts[2] - 32) * part / 8);
    cuts.push_back(whole.size() - 1);
    cuts.push_back(whole.size());
    for (const qsizetype cut : cuts) {
        QFile::remove(output);
        ASSERT_TRUE(testsupport::writeFileBytes(journal, whole.left(cut)));
        const Ran resumed = run(arguments({"--qps", "100"}));
        EXPECT_EQ(resumed.status, 0) << cut << resumed.err.data();
        EXPECT_TRUE(testsupport::readFileBytes(output) == kFourTranslated) << cut;
        QStringList expected = Unanswered(answered);
        if (cut < whole.size())
            expected << lastAnswered;
        EXPECT_EQ(Briefly(resumed.sent), Briefly(expected)) << cut;
    }
}

TEST_F(DocumentResume, ADryRunCountsWithoutSendingOrCredentials) {
    writeSettings(serviceSettings());
    ASSERT_TRUE(testsupport::writeFileBytes(input, kFour));
    const Ran counted = run(arguments({"--qps", "0.5", "--dry-run"}));
    EXPECT_EQ(counted.status, 0) << counted.err.data();
    EXPECT_EQ(counted.out, "请求4次，字符12006个，按每秒0.5次请求约需8秒。\n");
    EXPECT_EQ(counted.err, "");
    EXPECT_TRUE(service.requests().empty());
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_TRUE(journals().isEmpty());
}

// Beside the output while its folder can be written, else in the user's cache folder.
TEST(JournalPath, BesideTheOutputOrInTheCacheFolder) {
    QTemporaryDir home;
    const QString readOnly = home.filePath("read-only");
    ASSERT_TRUE(QDir().mkdir(readOnly));
    EXPECT_EQ(documents::JournalPathFor(home.filePath("a.txt")),
              home.filePath(".a.txt.quorvel-journal"));

    ::chmod(QFile::encodeName(readOnly).constData(), 0555);
    const bool immutable = ::geteuid() == 0 && testsupport::setImmutable(readOnly, true);
    const QByteArray xdg = qgetenv("XDG_CACHE_HOME"), userHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] {
        if (immutable)
            testsupport::setImmutable(readOnly, false);
        qputenv("XDG_CACHE_HOME", xdg);
        qputenv("HOME", userHome);
    });
    if (::access(QFile::encodeName(readOnly).constData(), W_OK) == 0)
        GTEST_SKIP() << "this user can write into any folder";
    const QString output = readOnly + "/b.txt";
    const QByteArray hash =
        QCryptographicHash::hash(output.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath("cache")));
    EXPECT_EQ(documents::JournalPathFor(output),
              home.filePath("cache/quorvel/" + hash + ".b.txt.quorvel-journal"));
    qputenv("XDG_CACHE_HOME", "relative");
    qputenv("HOME", QFile::encodeName(home.path()));
    EXPECT_EQ(documents::JournalPathFor(output),
              home.filePath(".cache/quorvel/" + hash + ".b.txt.quorvel-journal"));
    struct stat about {};
    ASSERT_EQ(::stat(QFile::encodeName(home.filePath(".cache/quorvel")).constData(), &about), 0);
    EXPECT_EQ(about.st_mode & 0777, 0700u);
}
