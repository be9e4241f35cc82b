#include "platform/PrivateProfile.h"

#include "support/FileBytes.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <string_view>
#include <utility>

using namespace std::string_view_literals;
using platform::GetPrivateProfileStringA;
using platform::WritePrivateProfileStringA;
using testsupport::fixturePath;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

const QString kHandEdited = QStringLiteral("hand-edited.ini");

// What a read leaves: the buffer up to the last byte it wrote, and the returned count.
std::pair<QByteArray, std::uint32_t> readProfile(const char* section, const char* key,
                                                 const QString& file, std::uint32_t size = 256,
                                                 const char* fallback = "<default>") {
    QByteArray buffer(size, '\x7f');
    const std::uint32_t count =
        GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file);
    while (buffer.endsWith('\x7f'))
        buffer.chop(1);
    return {buffer, count};
}

QByteArray valueOf(const char* section, const char* key, const QString& file) {
    return QByteArray(readProfile(section, key, file).first.constData());
}

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), text.size());
}

QByteArray utf16Le(const QString& text) {
    return QByteArray("\xFF\xFE") +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// The fixture's bytes with one piece of text replaced: what a write may change.
QByteArray fixtureWith(const QString& fixture, const QByteArray& before, const QByteArray& after) {
    QByteArray bytes = readFileBytes(fixturePath(fixture));
    EXPECT_EQ(bytes.count(before), 1) << before.constData();
    return bytes.replace(before, after);
}

// Long enough that a write takes a while, so that kills land inside writes.
QByteArray Payload(char letter) {
    return QByteArray(512 * 1024, letter);
}
QByteArray FileHolding(char letter) {
    return "[Settings]\r\nHttps=TRUE\r\n[Payload]\r\nValue=" + Payload(letter) + "\r\n";
}

// Waits for `count` bytes from a child, each a sign that it has got somewhere; false when the
// child ended first.
bool ReadsSignals(int pipe, int count) {
    char sign = 0;
    for (int i = 0; i < count; ++i)
        if (::read(pipe, &sign, 1) != 1)
            return false;
    return true;
}

class PrivateProfileFile : public ::testing::Test {
protected:
    // A fresh writable copy of the fixture.
    QString copyOf(const QString& fixture) const {
        QFile::remove(dir.filePath(fixture));
        return testsupport::copyFixture(fixture, dir);
    }

    QTemporaryDir dir;
};

} // namespace

TEST(PrivateProfileRead, FilesReadAsTheWindowsIniFunctionsReadThem) {
    const struct {
        const char* section;
        const char* key;
        std::string expected;
        std::uint32_t size = 256;
        const char* fallback = "<default>";
        const char* fixture = "hand-edited.ini";
    } cases[] = {
        {"Settings", "Https", "true"},                  // blanks around '=' and the value
        {"SETTINGS", "hTTPS", "true"},                  // names without regard to case
        {"  Settings ", " Https  ", "true"},            // spaces around the arguments
        {"Settings\t", "Https", "<default>"},           // but not tabs: another name
        {"Settings", "Extra", "<default>"},             // only the first section is searched
        {"BaiDuKeyInfo", "AppID", "20240101000123456"}, // header with text after ']', quotes
        {"BaiDuKeyInfo", "Secret_Key_Encode", "25BC8C975F27896E493C5D3010892D340EF2F9A6"}, // '...'
        {"BaiDuKeyInfo", "NOTE", "\xD6\xD0\xCE\xC4\xCB\xB5\xC3\xF7"}, // the first of two keys
        {"BaiDuKeyInfo", "Memo", "a ;b"},                             // ';' inside a line is data
        {"BaiDuKeyInfo", "NoEquals", "<default>"},     // a line without '=' has no value
        {"BaiDuKeyInfo", "Empty", ""},                 // an empty value, not the default
        {"BaiDuKeyInfo", "Quoted", "  a  "},           // one outer pair of quotes removed
        {"BaiDuKeyInfo", "OneQuote", "\""},            // a lone quote stays
        {"BaiDuKeyInfo", "Mixed", "\"a'"},             // quotes that differ stay
        {"Settings", ";Https", "<default>"},           // comments are never keys
        {"", "orphan", "<default>"},                   // lines before any section
        {"Font", "FontSize", "14"},                    // LF-only lines
        {"Font", "Tail", "last line"},                 // no final line break
        {"Font", "Tail", "last", 5},                   // cut to the buffer
        {"Missing", "Https", "  d e", 256, "  d e  "}, // the default loses trailing spaces only
        {"Missing", "Https", "", 256, nullptr},
        {"Settings", "Https", "<default>", 256, "<default>", "missing.ini"},
        {"BaiDuKeyInfo", "appid", "\xD6\xD0\xCE\xC4\xD3\xA6\xD3\xC3", 256, "", "utf16.ini"},
    };
    for (const auto& c : cases) {
        const auto [bytes, count] =
            readProfile(c.section, c.key, fixturePath(c.fixture), c.size, c.fallback);
        EXPECT_EQ(bytes, bytesOf(c.expected) + '\0') << c.section << "/" << c.key;
        EXPECT_EQ(count, c.expected.size()) << c.section << "/" << c.key;
    }
}

TEST_F(PrivateProfileFile, ListingsNameKeysOrSectionsInFileOrder) {
    const struct {
        const char* section;
        std::uint32_t size;
        std::uint32_t count;
        std::string_view expected;
    } cases[] = {
        // Lines without '=' and comments are skipped; "Empty=" is listed.
        {"BaiDuKeyInfo", 512, 67,
         "AppID\0Secret_Key_Encode\0Note\0note\0Memo\0Empty\0Quoted\0OneQuote\0Mixed\0\0"sv},
        {"Font", 16, 14, "FontSize\0Tail\0\0"sv},
        {"Font", 15, 13, "FontSize\0Tail\0\0"sv}, // a list that fills the buffer is cut
        {"Font", 13, 11, "FontSize\0Ta\0\0"sv},
        {"Font", 2, 0, "\0\0"sv},
        {"EmptySection", 512, 9, "<default>\0"sv},
        {"Missing", 512, 9, "<default>\0"sv},
        {nullptr, 512, 49, "Settings\0BaiDuKeyInfo\0EmptySection\0settings\0Font\0\0"sv},
    };
    for (const auto& c : cases) {
        const auto [bytes, count] =
            readProfile(c.section, nullptr, fixturePath(kHandEdited), c.size);
        EXPECT_EQ(bytes, bytesOf(c.expected)) << (c.section ? c.section : "") << c.size;
        EXPECT_EQ(count, c.count) << (c.section ? c.section : "") << c.size;
    }
    // Every header is listed, a repeated one too.
    const QString file = dir.filePath(QStringLiteral("repeated.ini"));
    ASSERT_TRUE(writeFileBytes(file, "[S]\r\n[S]\r\n"));
    EXPECT_EQ(readProfile(nullptr, nullptr, file).first, bytesOf("S\0S\0\0"sv));
}

TEST_F(PrivateProfileFile, WritesChangeOnlyTheLinesTheyMust) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
        const char* before;
        const char* after;
    } cases[] = {
        // The key keeps its spelling; only the first section and its first key change.
        {"SETTINGS", "https", "TRUE", "  Https = true  \r\n", "Https=TRUE\r\n"},
        {"Settings", "Https", "true", "  Https = true  ", "  Https = true  "},
        {"Font", "FontSize", "16", "FontSize=14\n", "FontSize=16\n"},
        // A new key goes after the last key of its section, before blank lines and comments.
        {"BaiDuKeyInfo", "Added", "v", "Mixed=\"a'\r\n", "Mixed=\"a'\r\nAdded=v\r\n"},
        {" EmptySection ", " k ", "v", "[EmptySection]\r\n", "[EmptySection]\r\nk=v\r\n"},
        {"Font", "Added", "v", "Tail=last line", "Tail=last line\r\nAdded=v\r\n"},
        {"Font", "Tail", "x", "Tail=last line", "Tail=x\r\n"},
        {"Font", "Tail", "last line", "Tail=last line", "Tail=last line\r\n"},
        {"  New Section ", "Key", " value as given ", "Tail=last line",
         "Tail=last line\r\n[New Section]\r\nKey= value as given \r\n"},
        // The trail byte of 癩 (B0 5D in code page 936) is the code of ']'. Read byte by byte,
        // the name would end inside the character and never be found again.
        {"\xB0\x5D", "k", "v", "Tail=last line", "Tail=last line\r\n[\xB0\x5D]\r\nk=v\r\n"},
        {"BaiDuKeyInfo", "NOTE", nullptr, "Note=\xD6\xD0\xCE\xC4\xCB\xB5\xC3\xF7\r\n", ""},
        {"BaiDuKeyInfo", "Gone", nullptr, "Empty=", "Empty="},
        // A section goes with its keys; its comments and blank lines stay.
        {"SETTINGS", nullptr, nullptr, "[Settings]\r\n  Https = true  \r\n", ""},
        {"Missing", nullptr, nullptr, "Empty=", "Empty="},
    };
    for (const auto& c : cases) {
        const QString file = copyOf(kHandEdited);
        const std::string name = std::string(c.section) + "/" + (c.key ? c.key : "(none)");
        EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, file), 1) << name;
        EXPECT_EQ(readFileBytes(file), fixtureWith(kHandEdited, c.before, c.after)) << name;
        if (!c.value)
            continue;
        EXPECT_EQ(valueOf(c.section, c.key, file), QByteArray(c.value).trimmed()) << name;
    }
}

TEST_F(PrivateProfileFile, MissingFileIsCreatedWithCrLfUnlessAKeyIsRemoved) {
    const QString file = dir.filePath(QStringLiteral("new.ini"));
    EXPECT_EQ(WritePrivateProfileStringA("a", "b", nullptr, file), 1);
    EXPECT_FALSE(QFileInfo::exists(file));
    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "TRUE", file), 1);
    ASSERT_EQ(WritePrivateProfileStringA("Font", "FontSize", "12", file), 1);
    EXPECT_EQ(readFileBytes(file),
              QByteArray("[Settings]\r\nHttps=TRUE\r\n[Font]\r\nFontSize=12\r\n"));
}

TEST_F(PrivateProfileFile, Utf16LeFileStaysUtf16LeWithAnOddLastByteLast) {
    const QString file = copyOf(QStringLiteral("utf16.ini"));
    ASSERT_EQ(WritePrivateProfileStringA("BaiDuKeyInfo", "Secret_Key_Encode", "0A", file), 1);
    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "FALSE", file), 1);
    EXPECT_EQ(readFileBytes(file), utf16Le(QStringLiteral("[Settings]\r\nHttps=FALSE\r\n"
                                                          "[BaiDuKeyInfo]\r\nAppID=中文应用\r\n"
                                                          "Secret_Key_Encode=0A\r\n")));
    // An odd last byte is no code unit: appended lines go before it and stay aligned.
    ASSERT_TRUE(writeFileBytes(file, utf16Le(QStringLiteral("[A]\r\nk=v")) + 'X'));
    ASSERT_EQ(WritePrivateProfileStringA("B", "n", "1", file), 1);
    EXPECT_EQ(readFileBytes(file), utf16Le(QStringLiteral("[A]\r\nk=v\r\n[B]\r\nn=1\r\n")) + 'X');
    EXPECT_EQ(valueOf("A", "k", file), "v");
}

// Names under which a written key would not be found again are refused and nothing is written:
// stored, such a key could never be read, and a key line starting with '[' would add a section.
TEST_F(PrivateProfileFile, NamesThatWouldNotReadBackAreRefused) {
    const struct {
        const char* fixture;
        const char* section;
        const char* key;
    } refused[] = {
        {"hand-edited.ini", "a]b", "k"},         // the name would end at ']'
        {"hand-edited.ini", "a\x81", "k"},       // ']' would be the second byte of a character
        {"hand-edited.ini", "Settings", "k=v"},  // the name would end at '='
        {"hand-edited.ini", "Settings", "[New"}, // would read as a section header
        {"hand-edited.ini", "Settings", ";k"},   // would read as a comment
        {"utf16.ini", "Settings", "\x81"}, // a lone lead byte has no UTF-16 form: it reads as '?'
        {"utf16.ini", "\x81", "k"},
    };
    for (const auto& c : refused) {
        const QString file = copyOf(c.fixture);
        EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, "v", file), 0) << c.key;
        EXPECT_EQ(readFileBytes(file), readFileBytes(fixturePath(c.fixture))) << c.key;
    }
    // Those characters elsewhere in a name read back, and so does Chinese in a UTF-16LE file.
    const QString file = copyOf(QStringLiteral("utf16.ini"));
    ASSERT_EQ(WritePrivateProfileStringA("[a", "k]", "v", file), 1);
    ASSERT_EQ(WritePrivateProfileStringA("\xD6\xD0", "k", "v", file), 1); // 中
    EXPECT_EQ(valueOf("[a", "k]", file), "v");
    EXPECT_EQ(valueOf("\xD6\xD0", "k", file), "v");
}

// Two processes write different keys at the same time; the lock and the re-read inside it keep
// every key of both.
TEST_F(PrivateProfileFile, ConcurrentWritersKeepEachOthersValues) {
    const QString file = dir.filePath(QStringLiteral("shared.ini"));
    const auto key = [](bool child, int i) {
        return (child ? "child" : "parent") + std::to_string(i);
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    int failures = 0;
    for (int i = 0; i < 8; ++i)
        failures +=
            WritePrivateProfileStringA("Shared", key(child == 0, i).c_str(), "1", file) != 1;
    if (child == 0)
        _exit(failures);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 && failures == 0) << failures;
    for (bool inChild : {true, false})
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(valueOf("Shared", key(inChild, i).c_str(), file), "1") << key(inChild, i);
}

// Writers killed inside their first, second or third write, again and again: the file is always
// one that a write left whole, a write that ended is never lost, and the next write is not held
// up by the dead writer's lock.
TEST_F(PrivateProfileFile, KilledWriterLeavesTheOldOrTheNewFileAndNoLockInTheWay) {
    const QString file = dir.filePath(QStringLiteral("quorvel.ini"));
    ASSERT_TRUE(writeFileBytes(file, FileHolding('a')));
    const qsizetype valueAt = FileHolding('a').indexOf("Value=") + 6;
    for (int round = 0; round < 40; ++round) {
        int starting[2];
        ASSERT_EQ(::pipe(starting), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(starting[0]);
            for (int i = 0;; ++i) { // says so before each write, and writes until it is killed
                if (::write(starting[1], "w", 1) != 1)
                    _exit(1);
                WritePrivateProfileStringA(
                    "Payload", "Value", Payload(static_cast<char>('b' + i % 24)).constData(), file);
            }
        }
        ::close(starting[1]);
        const int writes = 1 + round % 3;
        ASSERT_TRUE(ReadsSignals(starting[0], writes)) << "round " << round;
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(starting[0]);

        const QByteArray bytes = readFileBytes(file);
        const char letter = bytes.size() > valueAt ? bytes.at(valueAt) : '?';
        ASSERT_EQ(bytes, FileHolding(letter)) << "round " << round;
        EXPECT_TRUE(writes == 1 || letter != 'a') << "round " << round << ": a whole write lost";
        ASSERT_EQ(WritePrivateProfileStringA("Payload", "Value", Payload('a').constData(), file),
                  1);
        ASSERT_EQ(readFileBytes(file), FileHolding('a'));
    }
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("quorvel.ini")});
}

// The settings file is a link, and a killed writer left its half-written file and an empty lock
// (killed between creating the lock and writing its owner into it) beside the file the link
// points to: the write goes through the link, which stays a link, and clears both leftovers.
TEST_F(PrivateProfileFile, WriteGoesThroughALinkAndClearsWhatAKilledWriterLeft) {
    const QString target = dir.filePath(QStringLiteral("real.ini"));
    const QString link = dir.filePath(QStringLiteral("quorvel.ini"));
    ASSERT_TRUE(writeFileBytes(target, "[Settings]\r\nHttps=TRUE\r\n"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(writeFileBytes(target + QStringLiteral(".saving"), "[Settings]\r\nHt"));
    ASSERT_TRUE(writeFileBytes(target + QStringLiteral(".lock"), QByteArray()));
    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "FALSE", link), 1);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFileBytes(target), "[Settings]\r\nHttps=FALSE\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("quorvel.ini"), QStringLiteral("real.ini")}));
}
