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
#include <random>
#include <string>
#include <string_view>

using namespace std::string_view_literals;
using platform::GetPrivateProfileStringA;
using platform::WritePrivateProfileStringA;
using testsupport::fixturePath;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

// What a read gives: the bytes copied and the returned count.
struct Read {
    QByteArray text;
    std::uint32_t count;
};

Read readValue(const char* section, const char* key, const QString& file, std::uint32_t size = 256,
               const char* fallback = "<default>") {
    QByteArray buffer(size, '\x7f');
    const std::uint32_t count =
        GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file);
    return {QByteArray(buffer.constData()), count};
}

// The raw buffer of a listing, up to and including the returned count plus one byte.
QByteArray readList(const char* section, const QString& file, std::uint32_t size) {
    QByteArray buffer(size, '\x7f');
    const std::uint32_t count =
        GetPrivateProfileStringA(section, nullptr, "", buffer.data(), size, file);
    return buffer.left(count + 1);
}

// Bytes with embedded zeros, from a string_view literal.
QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), text.size());
}

class PrivateProfileFile : public ::testing::Test {
protected:
    QString copyOf(const QString& fixture) const { return testsupport::copyFixture(fixture, dir); }
    // The fixture's bytes with one piece of text replaced: what a write may change.
    static QByteArray fixtureWith(const QString& fixture, const QByteArray& before,
                                  const QByteArray& after) {
        QByteArray bytes = readFileBytes(fixturePath(fixture));
        EXPECT_EQ(bytes.count(before), 1) << before.constData();
        return bytes.replace(before, after);
    }

    QTemporaryDir dir;
};

const QString kHandEdited = QStringLiteral("hand-edited.ini");

} // namespace

TEST(PrivateProfileRead, HandEditedFileReadsAsWindowsReadsIt) {
    const QString file = fixturePath(kHandEdited);
    const std::string chineseNote = "\xD6\xD0\xCE\xC4\xCB\xB5\xC3\xF7"; // 中文说明 in code page 936
    const struct {
        const char* section;
        const char* key;
        std::string expected;
    } cases[] = {
        {"Settings", "Https", "true"},                  // blanks around '=' and the value
        {"SETTINGS", "hTTPS", "true"},                  // names without regard to case
        {"  Settings ", " Https  ", "true"},            // spaces around the arguments
        {"Settings\t", "Https", "<default>"},           // but not tabs: another name
        {"Settings", "\vHttps", "<default>"},           //
        {"Settings", "Extra", "<default>"},             // only the first section is searched
        {"BaiDuKeyInfo", "AppID", "20240101000123456"}, // header with text after ']', quotes
        {"BaiDuKeyInfo", "Secret_Key_Encode", "25BC8C975F27896E493C5D3010892D340EF2F9A6"},
        {"BaiDuKeyInfo", "NOTE", chineseNote},     // the first of two keys wins
        {"BaiDuKeyInfo", "Memo", "a ;b"},          // ';' inside a line is data
        {"BaiDuKeyInfo", "NoEquals", "<default>"}, // a line without '=' has no value
        {"BaiDuKeyInfo", "Quoted", "  a  "},       // one outer pair of quotes removed
        {"BaiDuKeyInfo", "OneQuote", "\""},        // a lone quote stays
        {"BaiDuKeyInfo", "Mixed", "\"a'"},         // quotes that differ stay
        {"BaiDuKeyInfo", ";Https", "<default>"},   // comments are never keys
        {"Settings", ";Https", "<default>"},       //
        {"", "orphan", "<default>"},               // lines before any section
        {"Font", "FontSize", "14"},                // LF-only lines
        {"Font", "Tail", "last line"},             // no final line break
        {"Missing", "Https", "<default>"},         //
    };
    for (const auto& c : cases) {
        const Read read = readValue(c.section, c.key, file);
        EXPECT_EQ(read.text.toStdString(), c.expected) << c.section << "/" << c.key;
        EXPECT_EQ(read.count, c.expected.size()) << c.section << "/" << c.key;
    }
}

TEST(PrivateProfileRead, EmptyValueGivesZeroAndNotTheDefault) {
    const Read read = readValue("BaiDuKeyInfo", "Empty", fixturePath(kHandEdited));
    EXPECT_EQ(read.count, 0u);
    EXPECT_EQ(read.text, QByteArray());
}

TEST(PrivateProfileRead, DefaultLosesTrailingSpacesOnly) {
    const Read read = readValue("x", "y", QStringLiteral("/nonexistent/file.ini"), 64, "  d e  ");
    EXPECT_EQ(read.text, QByteArray("  d e"));
    EXPECT_EQ(read.count, 5u);
    EXPECT_EQ(readValue("x", "y", QStringLiteral("/nonexistent/file.ini"), 64, nullptr).count, 0u);
}

TEST(PrivateProfileRead, LongValueIsCutToTheBuffer) {
    const Read read = readValue("Font", "Tail", fixturePath(kHandEdited), 5);
    EXPECT_EQ(read.text, QByteArray("last"));
    EXPECT_EQ(read.count, 4u);
}

TEST(PrivateProfileRead, KeyListingInFileOrderWithZeroSeparators) {
    const QString file = fixturePath(kHandEdited);
    // Lines without '=' and comments are skipped; "Empty=" is listed.
    EXPECT_EQ(readList("BaiDuKeyInfo", file, 512),
              bytesOf("AppID\0Secret_Key_Encode\0Note\0note\0Memo\0Empty\0Quoted\0OneQuote\0"
                      "Mixed\0\0"sv));
    EXPECT_EQ(readList("Font", file, 512), bytesOf("FontSize\0Tail\0\0"sv));
    // A section with no keys, or none at all, gives the default.
    EXPECT_EQ(readList("EmptySection", file, 512), bytesOf("\0"sv));
    EXPECT_EQ(readList("Missing", file, 512), bytesOf("\0"sv));
}

TEST_F(PrivateProfileFile, KeyListingCountsAndCutting) {
    const QString file = dir.filePath(QStringLiteral("list.ini"));
    ASSERT_TRUE(writeFileBytes(file, "[s]\r\na=1\r\nbb=2\r\n"));
    QByteArray buffer(16, '\x7f');
    EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 16, file), 5u);
    EXPECT_EQ(buffer.left(6), bytesOf("a\0bb\0\0"sv));
    // Too small: the last name is cut and followed by two zero bytes.
    EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 5, file), 3u);
    EXPECT_EQ(buffer.left(5), bytesOf("a\0b\0\0"sv));
    // A list that fills the buffer exactly counts as too small.
    EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 6, file), 4u);
    EXPECT_EQ(buffer.left(6), bytesOf("a\0bb\0\0"sv));
    EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 7, file), 5u);
    EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "", buffer.data(), 2, file), 0u);
}

// Every header is listed, a repeated one too, whatever its letter case.
TEST_F(PrivateProfileFile, SectionListingNamesEveryHeader) {
    EXPECT_EQ(readList(nullptr, fixturePath(kHandEdited), 512),
              bytesOf("Settings\0BaiDuKeyInfo\0EmptySection\0settings\0Font\0\0"sv));
    const QString file = dir.filePath(QStringLiteral("repeated.ini"));
    ASSERT_TRUE(writeFileBytes(file, "[S]\r\n[S]\r\n"));
    EXPECT_EQ(readList(nullptr, file, 64), bytesOf("S\0S\0\0"sv));
}

// The trail byte of a double-byte character can be 0x5D, the code of ']': 癩 is B0 5D in code
// page 936. Read byte by byte, its section would end inside the character, never match its own
// name and gain a new copy at every write.
TEST_F(PrivateProfileFile, SectionNameEndingInATrailByteLikeABracketIsOneName) {
    const QString file = dir.filePath(QStringLiteral("bracket.ini"));
    const char* section = "\xB0\x5D";
    ASSERT_EQ(WritePrivateProfileStringA(section, "k", "1", file), 1);
    ASSERT_EQ(WritePrivateProfileStringA(section, "k", "2", file), 1);
    EXPECT_EQ(readFileBytes(file), QByteArray("[\xB0\x5D]\r\nk=2\r\n"));
    EXPECT_EQ(readValue(section, "k", file).text, "2");
    EXPECT_EQ(readList(nullptr, file, 64), bytesOf("\xB0\x5D\0\0"sv));

    // The bracket after the character still closes the name, with anything after it ignored.
    ASSERT_TRUE(writeFileBytes(file, "[ \xB0\x5D ] note\r\nk=3\r\n"));
    EXPECT_EQ(readValue(section, "k", file).text, "3");
}

TEST(PrivateProfileRead, Utf16LeFileReadsInTheAnsiCodePage) {
    const Read read = readValue("BaiDuKeyInfo", "appid", fixturePath(QStringLiteral("utf16.ini")));
    EXPECT_EQ(read.text, QByteArray("\xD6\xD0\xCE\xC4\xD3\xA6\xD3\xC3")); // 中文应用
    EXPECT_EQ(read.count, 8u);
}

TEST_F(PrivateProfileFile, ReplacingAValueChangesOnlyItsLine) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA("SETTINGS", "https", "TRUE", file), 1);
    // The key keeps its spelling; only the first section and its first key change.
    EXPECT_EQ(readFileBytes(file),
              fixtureWith(kHandEdited, "  Https = true  \r\n", "Https=TRUE\r\n"));

    ASSERT_EQ(WritePrivateProfileStringA("Font", "FontSize", "16", file), 1);
    EXPECT_TRUE(readFileBytes(file).contains("[Font]\nFontSize=16\nTail=last line"));
}

TEST_F(PrivateProfileFile, WritingTheStoredValueAgainLeavesTheFileAlone) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "true", file), 1);
    EXPECT_EQ(readFileBytes(file), readFileBytes(fixturePath(kHandEdited)));
}

TEST_F(PrivateProfileFile, NewKeyGoesAfterTheLastKeyOfItsSection) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA("BaiDuKeyInfo", "Added", "v", file), 1);
    EXPECT_EQ(readFileBytes(file), fixtureWith(kHandEdited, "Mixed=\"a'\r\n\r\n[EmptySection]",
                                               "Mixed=\"a'\r\nAdded=v\r\n\r\n[EmptySection]"));
}

TEST_F(PrivateProfileFile, NewKeyInASectionWithoutKeysFollowsTheHeader) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA(" EmptySection ", " k ", "v", file), 1);
    EXPECT_EQ(readFileBytes(file),
              fixtureWith(kHandEdited, "[EmptySection]\r\n", "[EmptySection]\r\nk=v\r\n"));
}

TEST_F(PrivateProfileFile, UnterminatedLastLineGainsCrLf) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA("Font", "Added", "v", file), 1);
    EXPECT_EQ(readFileBytes(file),
              fixtureWith(kHandEdited, "Tail=last line", "Tail=last line\r\nAdded=v\r\n"));

    const QString other = dir.filePath(QStringLiteral("unterminated.ini"));
    ASSERT_TRUE(writeFileBytes(other, "[a]\r\nk=1"));
    ASSERT_EQ(WritePrivateProfileStringA("a", "k", "2", other), 1);
    EXPECT_EQ(readFileBytes(other), QByteArray("[a]\r\nk=2\r\n"));
}

TEST_F(PrivateProfileFile, NewSectionGoesAtTheEnd) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA("  New Section ", "Key", " value as given ", file), 1);
    EXPECT_EQ(readFileBytes(file),
              fixtureWith(kHandEdited, "Tail=last line",
                          "Tail=last line\r\n[New Section]\r\nKey= value as given \r\n"));
}

TEST_F(PrivateProfileFile, MissingFileIsCreatedWithCrLf) {
    const QString file = dir.filePath(QStringLiteral("new.ini"));
    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "TRUE", file), 1);
    ASSERT_EQ(WritePrivateProfileStringA("Font", "FontSize", "12", file), 1);
    EXPECT_EQ(readFileBytes(file),
              QByteArray("[Settings]\r\nHttps=TRUE\r\n[Font]\r\nFontSize=12\r\n"));
}

TEST_F(PrivateProfileFile, NullValueRemovesTheFirstMatchingKey) {
    const QString file = copyOf(kHandEdited);
    ASSERT_EQ(WritePrivateProfileStringA("BaiDuKeyInfo", "NOTE", nullptr, file), 1);
    const QByteArray chineseNote("Note=\xD6\xD0\xCE\xC4\xCB\xB5\xC3\xF7\r\n");
    EXPECT_EQ(readFileBytes(file), fixtureWith(kHandEdited, chineseNote, ""));
    // The second key of that name is now the first.
    EXPECT_EQ(readValue("BaiDuKeyInfo", "Note", file).text, QByteArray("second of the same name"));
    // Removing what is not there succeeds and changes nothing, nor creates a file.
    const QByteArray before = readFileBytes(file);
    EXPECT_EQ(WritePrivateProfileStringA("BaiDuKeyInfo", "Gone", nullptr, file), 1);
    EXPECT_EQ(readFileBytes(file), before);
    const QString missing = dir.filePath(QStringLiteral("missing.ini"));
    EXPECT_EQ(WritePrivateProfileStringA("a", "b", nullptr, missing), 1);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(PrivateProfileFile, NullKeyRemovesHeaderAndKeysButKeepsComments) {
    const QString file = dir.filePath(QStringLiteral("sections.ini"));
    ASSERT_TRUE(
        writeFileBytes(file, "[a]\r\nx=1\r\n[b]\r\n; note\r\ny=2\r\n\r\nbare\r\n[c]\r\nz=3"));
    ASSERT_EQ(WritePrivateProfileStringA("B", nullptr, nullptr, file), 1);
    EXPECT_EQ(readFileBytes(file), QByteArray("[a]\r\nx=1\r\n; note\r\n\r\n[c]\r\nz=3"));
    ASSERT_EQ(WritePrivateProfileStringA("missing", nullptr, nullptr, file), 1);
    EXPECT_EQ(readFileBytes(file), QByteArray("[a]\r\nx=1\r\n; note\r\n\r\n[c]\r\nz=3"));
}

TEST_F(PrivateProfileFile, Utf16LeFileStaysUtf16Le) {
    const QString file = copyOf(QStringLiteral("utf16.ini"));
    ASSERT_EQ(WritePrivateProfileStringA("BaiDuKeyInfo", "Secret_Key_Encode", "0A", file), 1);
    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "FALSE", file), 1);
    const QString text = QStringLiteral("[Settings]\r\nHttps=FALSE\r\n[BaiDuKeyInfo]\r\n"
                                        "AppID=中文应用\r\nSecret_Key_Encode=0A\r\n");
    QByteArray expected("\xFF\xFE");
    expected.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    EXPECT_EQ(readFileBytes(file), expected);
}

// Names under which a written key would not be found again are refused and nothing is written:
// stored, such a key could never be read, and a key line starting with '[' would add a section.
TEST_F(PrivateProfileFile, NamesThatWouldNotReadBackAreRefused) {
    const QString file = copyOf(kHandEdited);
    const QByteArray before = readFileBytes(file);
    const struct {
        const char* section;
        const char* key;
    } refused[] = {
        {"a]b", "k"},         // the name would end at ']'
        {"a\x81", "k"},       // the last byte would take ']' as the second byte of a character
        {"Settings", "k=v"},  // the name would end at '='
        {"Settings", "[New"}, // would read as a section header
        {"Settings", ";k"},   // would read as a comment
    };
    for (const auto& names : refused) {
        EXPECT_EQ(WritePrivateProfileStringA(names.section, names.key, "v", file), 0)
            << names.section << " / " << names.key;
        EXPECT_EQ(readFileBytes(file), before) << names.section << " / " << names.key;
    }
    // Those characters elsewhere in a name read back.
    ASSERT_EQ(WritePrivateProfileStringA("[a", "k]", "v", file), 1);
    EXPECT_EQ(readValue("[a", "k]", file).text, "v");
}

TEST_F(PrivateProfileFile, NamesAUtf16LeFileCannotCarryAreRefused) {
    const QString file = copyOf(QStringLiteral("utf16.ini"));
    const QByteArray before = readFileBytes(file);
    // A lone lead byte has no UTF-16 form and would come back as '?'.
    EXPECT_EQ(WritePrivateProfileStringA("Settings", "\x81", "v", file), 0);
    EXPECT_EQ(WritePrivateProfileStringA("\x81", "k", "v", file), 0);
    EXPECT_EQ(readFileBytes(file), before);
    ASSERT_EQ(WritePrivateProfileStringA("\xD6\xD0", "k", "v", file), 1); // 中
    EXPECT_EQ(readValue("\xD6\xD0", "k", file).text, "v");
}

// A UTF-16LE file of odd length ends in a byte that is no code unit. Lines a write appends go
// before it, so that they and the lines already there stay readable.
TEST_F(PrivateProfileFile, OddLastByteOfUtf16LeFileStaysLast) {
    const auto utf16 = [](const QString& text) {
        return QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    const QString file = dir.filePath(QStringLiteral("odd.ini"));
    ASSERT_TRUE(writeFileBytes(file, utf16(QStringLiteral("[A]\r\nk=v")) + 'X'));

    ASSERT_EQ(WritePrivateProfileStringA("B", "n", "1", file), 1);
    EXPECT_EQ(readFileBytes(file), utf16(QStringLiteral("[A]\r\nk=v\r\n[B]\r\nn=1\r\n")) + 'X');
    EXPECT_EQ(readValue("A", "k", file).text, "v");
    EXPECT_EQ(readValue("B", "n", file).text, "1");
}

// Two processes write different keys at the same time; the lock and the re-read inside it keep
// every key of both.
TEST_F(PrivateProfileFile, ConcurrentWritersKeepEachOthersValues) {
    const QString file = dir.filePath(QStringLiteral("shared.ini"));
    constexpr int kWrites = 8;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const char* writer = child == 0 ? "child" : "parent";
    int failures = 0;
    for (int i = 0; i < kWrites; ++i) {
        const std::string key = std::string(writer) + std::to_string(i);
        if (WritePrivateProfileStringA("Shared", key.c_str(), "1", file) != 1)
            ++failures;
    }
    if (child == 0)
        _exit(failures);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(failures, 0);
    for (const char* name : {"child", "parent"}) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string key = std::string(name) + std::to_string(i);
            EXPECT_EQ(readValue("Shared", key.c_str(), file).text, QByteArray("1")) << key;
        }
    }
}

// Writers killed at random moments, again and again: the file is always one that a write left
// whole, and the next write is not held up by the dead writer's lock.
namespace {

// Long enough that a write takes a while, so that kills land inside writes.
QByteArray Payload(char letter) {
    return QByteArray(512 * 1024, letter);
}
QByteArray FileHolding(char letter) {
    return "[Settings]\r\nHttps=TRUE\r\n[Payload]\r\nValue=" + Payload(letter) + "\r\n";
}

} // namespace

TEST(KilledWriter, FileIsTheOldOrTheNewOneAndTheNextWriteGoesThrough) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("quorvel.ini"));
    ASSERT_TRUE(writeFileBytes(file, FileHolding('a')));
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> microseconds(0, 20000);

    int changed = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Writes whole new values until it is killed.
            for (int i = 0;; ++i)
                WritePrivateProfileStringA(
                    "Payload", "Value", Payload(static_cast<char>('b' + i % 24)).constData(), file);
        }
        ::usleep(microseconds(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const QByteArray bytes = readFileBytes(file);
        const qsizetype value = bytes.indexOf("Value=") + 6;
        const char letter = value > 5 && value < bytes.size() ? bytes.at(value) : '?';
        ASSERT_EQ(bytes, FileHolding(letter)) << "round " << round;
        changed += letter != 'a';
        // The killed writer's lock does not stand in the way.
        ASSERT_EQ(WritePrivateProfileStringA("Payload", "Value", Payload('a').constData(), file),
                  1);
        ASSERT_EQ(readFileBytes(file), FileHolding('a'));
    }
    EXPECT_GT(changed, 0) << "no writer got to write before it was killed";
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("quorvel.ini")});
}

// A writer killed while saving leaves its half-written file beside the settings file; the next
// write replaces the settings file whole and leaves no such file behind.
TEST(KilledWriter, HalfWrittenFileOfAKilledWriterIsRemovedByTheNextWrite) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("quorvel.ini"));
    ASSERT_TRUE(writeFileBytes(file, "[Settings]\r\nHttps=TRUE\r\n"));
    ASSERT_TRUE(writeFileBytes(file + QStringLiteral(".saving"), "[Settings]\r\nHt"));

    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "FALSE", file), 1);
    EXPECT_EQ(readFileBytes(file), "[Settings]\r\nHttps=FALSE\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("quorvel.ini")});
}

// A settings file that is a link is written through it: the file it points to changes and the
// link stays a link.
TEST_F(PrivateProfileFile, SettingsFileBehindALinkIsWrittenThroughIt) {
    const QString target = dir.filePath(QStringLiteral("real.ini"));
    const QString link = dir.filePath(QStringLiteral("quorvel.ini"));
    ASSERT_TRUE(writeFileBytes(target, "[Settings]\r\nHttps=TRUE\r\n"));
    ASSERT_TRUE(QFile::link(target, link));

    ASSERT_EQ(WritePrivateProfileStringA("Settings", "Https", "FALSE", link), 1);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFileBytes(target), "[Settings]\r\nHttps=FALSE\r\n");
}

TEST(KilledWriter, EmptyLockOfAWriterKilledAsItTookTheLockIsTakenOver) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("quorvel.ini"));
    // What a writer killed between creating the lock and writing its owner into it leaves.
    ASSERT_TRUE(writeFileBytes(file + QStringLiteral(".lock"), QByteArray()));
    EXPECT_EQ(WritePrivateProfileStringA("Settings", "Https", "TRUE", file), 1);
    EXPECT_EQ(readFileBytes(file), "[Settings]\r\nHttps=TRUE\r\n");
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral(".lock")));
}
