#include "platform/PrivateProfile.h"
#include "platform/ProfileFileBytes.h"
#include "settings/QuorvelSettings.h"
#include "settings/SettingsFilePath.h"
#include "settings/clsIniFile.h"

#include "support/FileBytes.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <algorithm>

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::fixturePath;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

clsIniFile IniAt(const QString& path) {
    clsIniFile ini;
    ini.File(path);
    return ini;
}

// A settings file as the Windows INI functions write it, and a check of every value it holds.
QByteArray WrittenByIniFunctions() {
    return readFileBytes(fixturePath("written-by-ini-functions.ini"));
}
void ExpectTheWrittenSettings(const clsIniFile& ini) {
    EXPECT_EQ(ini.GetSetting("Settings", "Https"), "TRUE");
    EXPECT_EQ(ini.GetSetting("BaiDuKeyInfo", "AppID"), "20240101000123456");
    EXPECT_EQ(ini.GetSetting("BaiDuKeyInfo", "Secret_Key_Encode"),
              "25BC8C975F27896E493C5D3010892D340EF2F9A6");
    EXPECT_EQ(ini.GetSetting("Font", "FontSize"), "12");
}

// The folder's entries other than . and .., hidden ones included.
QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Bytes with a zero byte between `before` and `after`.
QByteArray WithZero(const QByteArray& before, const QByteArray& after) {
    return before + QByteArray(1, '\0') + after;
}

} // namespace

TEST(IniFile, ReadsTheFilesIniFunctionsAndEditorsLeaveAndMarksWhatIsMissing) {
    const struct {
        const char *file, *section, *key, *value;
    } cases[] = {
        {"hand-edited.ini", "BaiDuKeyInfo", "Note", "中文说明"}, // code page 936
        {"utf16.ini", "BaiDuKeyInfo", "AppID", "中文应用"},
        {"hand-edited.ini", "Nowhere", "Https", "unknown value"},
        {"hand-edited.ini", "BaiDuKeyInfo", "Empty", "Unknown section or key"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniAt(fixturePath(c.file)).GetSetting(c.section, c.key),
                  QString::fromUtf8(c.value))
            << c.file << " " << c.section << "." << c.key;
    ExpectTheWrittenSettings(IniAt(fixturePath("written-by-ini-functions.ini")));
}

// A new file holds the encoded key: it is for its owner only. An existing file keeps its
// permissions, and a write changes only its own line.
TEST(IniFile, NewFileIsCodePage936ForItsOwnerOnlyAndAWriteChangesOnlyItsLine) {
    QTemporaryDir dir;
    clsIniFile fresh = IniAt(dir.filePath("new.ini"));
    EXPECT_NE(fresh.SaveSetting("BaiDuKeyInfo", "AppID", "应用 20240101"), 0);
    EXPECT_EQ(fresh.GetSetting("BaiDuKeyInfo", "AppID"), QStringLiteral("应用 20240101"));
    EXPECT_EQ(readFileBytes(fresh.File()), "[BaiDuKeyInfo]\r\nAppID=\xD3\xA6\xD3\xC3 20240101\r\n");
    EXPECT_EQ(QFile::permissions(fresh.File()) & 0x77, 0); // nothing for group and others

    const QString path = testsupport::copyFixture("written-by-ini-functions.ini", dir);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    EXPECT_NE(IniAt(path).SaveSetting("Settings", "Https", "FALSE"), 0);
    QByteArray expected = readFileBytes(fixturePath("written-by-ini-functions.ini"));
    expected.replace("Https=TRUE\r\n", "Https=FALSE\r\n");
    EXPECT_EQ(readFileBytes(path), expected);
    EXPECT_EQ(QFile::permissions(path) & 0x77, 0x44);
}

// Written raw, a line break would inject keys and sections into the file.
TEST(IniFile, LineBreaksAndZeroCharactersAreRefused) {
    QTemporaryDir dir;
    clsIniFile ini = IniAt(testsupport::copyFixture("written-by-ini-functions.ini", dir));
    const QString zero = QStringLiteral("Https") + QChar(0) + QStringLiteral("x");
    for (const QStringList& write :
         {QStringList{"Settings", "Https", "TRUE\r\n[BaiDuKeyInfo]\r\nAppID=evil"},
          {"Settings", "Https", "a\nb"},
          {"Settings", "Ht\rtps", "ok"},
          {"Sett\nings", "Https", "ok"},
          {"Settings", zero, "ok"},
          {"Settings", "Https", zero}})
        EXPECT_EQ(ini.SaveSetting(write[0], write[1], write[2]), 0)
            << write.join('|').toStdString();
    EXPECT_EQ(readFileBytes(ini.File()),
              readFileBytes(fixturePath("written-by-ini-functions.ini")));
}

TEST(IniFile, GetSectionListsNamesFromIndexOneAndDeleteSectionRemovesOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.ini");
    ASSERT_TRUE(writeFileBytes(path, "[Keys]\r\nabc=3\r\na=1\r\n; c=0\r\nbb=\r\n[Empty]\r\n"));
    clsIniFile ini = IniAt(path);
    QStringList keys{"stale"};
    EXPECT_EQ(ini.GetSection("keys", keys), 3);
    EXPECT_EQ(keys, QStringList({"", "abc", "a", "bb"}));
    keys = QStringList{"stale"};
    EXPECT_EQ(ini.GetSection("Empty", keys), 0);
    EXPECT_EQ(keys, QStringList{QString()});
    ini.DeleteSection("keys"); // comments stay, as on Windows
    EXPECT_EQ(readFileBytes(path), "; c=0\r\n[Empty]\r\n");
}

TEST(IniFile, TwoObjectsWritingInTurnKeepBothValues) {
    QTemporaryDir dir;
    clsIniFile first = IniAt(dir.filePath("shared.ini"));
    clsIniFile second = IniAt(dir.filePath("shared.ini"));
    ASSERT_NE(first.SaveSetting("Settings", "Https", "1"), 0);
    ASSERT_NE(second.SaveSetting("Font", "FontSize", "2"), 0);
    EXPECT_EQ(second.GetSetting("Settings", "Https"), "1");
    ASSERT_NE(first.SaveSetting("Settings", "Https", "3"), 0);
    EXPECT_EQ(readFileBytes(first.File()), "[Settings]\r\nHttps=3\r\n[Font]\r\nFontSize=2\r\n");
    // Neither the lock nor a temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.ini"});
}

// ---- Settings files that cannot be written or hold what no program writes ----

// Only a regular file of at most 4 MiB is a settings file: anything else under the name reads as
// absent at once (a FIFO without a writer would block a plain read for good) and is never written.
TEST(SettingsFaults, WhereNoSettingsFileCanBeWrittenWritesReturnZeroAndChangeNothing) {
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.ini")).constData(), 0600), 0);
    const QByteArray oversized = "[Font]\r\nFontSize=14\r\n;" + QByteArray(4 << 20, 'x');
    ASSERT_TRUE(writeFileBytes(dir.filePath("big.ini"), oversized));
    // A folder no write makes, /proc (which stops root too), and what reads as no file.
    for (const QString& file :
         {dir.filePath("no-such-folder/quorvel.ini"), QStringLiteral("/proc/quorvel-faults.ini"),
          dir.filePath("fifo.ini"), dir.filePath("big.ini")}) {
        clsIniFile ini = IniAt(file);
        EXPECT_EQ(ini.SaveSetting("Font", "FontSize", "14"), 0) << file.toStdString();
        EXPECT_EQ(ini.SaveSettings("Font", {{"FontSize", "15"}}), platform::ProfileWrite::Failed)
            << file.toStdString();
        EXPECT_EQ(ini.GetSetting("Font", "FontSize"), "unknown value");
    }
    EXPECT_EQ(Entries(dir), QStringList({"big.ini", "fifo.ini"}));
    EXPECT_EQ(readFileBytes(dir.filePath("big.ini")), oversized);
}

// An immutable file stops root as well; a read-only folder is the portable copy's case below.
TEST(SettingsFaults, ImmutableFileIsReadButNotWritten) {
    QTemporaryDir dir;
    const QString file = dir.filePath("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, WrittenByIniFunctions()));
    if (!testsupport::setImmutable(file, true))
        GTEST_SKIP() << "the immutable attribute cannot be set here";
    const auto restore = qScopeGuard([&] { testsupport::setImmutable(file, false); });
    clsIniFile ini = IniAt(file);
    EXPECT_EQ(ini.SaveSetting("Font", "FontSize", "9"), 0);
    EXPECT_EQ(ini.SaveSetting("Other", "Key", "1"), 0);
    ExpectTheWrittenSettings(ini);
    EXPECT_EQ(readFileBytes(file), WrittenByIniFunctions());
    EXPECT_EQ(Entries(dir), QStringList{QStringLiteral("quorvel.ini")});
}

// Listing the sections once looked up every name again from the top of the file: 40 s here.
TEST(SettingsFaults, DamagedHugeFileIsReadListedAndKeptByteForByte) {
    QTemporaryDir dir;
    // A lead byte without its trail byte, a byte no character starts with, a lead byte before
    // CR LF, zero bytes in a value, a key name and a section name, a 1 MB line and comment,
    // 10 000 sections, and a lead byte ending the file.
    QByteArray settings = "[Long]\r\nLong=" + QByteArray(1 << 20, 'v') + "\r\n;" +
                          QByteArray(1 << 20, 'c') + "\r\n" + WrittenByIniFunctions() +
                          "[Damaged]\r\nNote=a\x81 b\xFF\xFF"
                          "c\x81\r\n" +
                          WithZero("Zero=1", "2\r\n") + WithZero("Ke", "y=3\r\n[Na") +
                          WithZero("", "me]\r\nKey=4\r\n");
    for (int i = 0; i < 10000; ++i)
        settings += "[Section" + QByteArray::number(i) + "]\r\nKey=" + QByteArray::number(i) +
                    "\r\nBad=\xFF\x81\r\n" + WithZero("Zero=a", "b\r\n");
    settings += "\x81";
    const QString file = dir.filePath("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, settings));
    clsIniFile ini = IniAt(file);
    ExpectTheWrittenSettings(ini);
    const QString note = ini.GetSetting("Damaged", "Note");
    EXPECT_TRUE(note.startsWith(u'a') && note.contains(QStringLiteral(" b")) && note.contains(u'c'))
        << note.toStdString();
    EXPECT_EQ(ini.GetSetting("Damaged", "Zero"), QStringLiteral("1") + QChar(0) + "2");
    EXPECT_EQ(ini.GetSetting("section9999", "KEY"), "9999");
    // One read brings back what fits its buffer: 32749 bytes.
    EXPECT_EQ(ini.GetSetting("Long", "Long"), QString(32749, u'v'));

    QByteArray names(1 << 20, '\x7f');
    const std::uint32_t count = platform::GetPrivateProfileStringA(
        nullptr, nullptr, "", names.data(), static_cast<std::uint32_t>(names.size()), file);
    const QList<QByteArray> listed = names.left(count).split('\0');
    // Each name ends with a zero byte; the one holding a zero byte lists as two pieces.
    ASSERT_EQ(listed.size(), 5 + 2 + 10000 + 1);
    EXPECT_EQ(listed.mid(0, 5),
              QByteArrayList({"Long", "Settings", "BaiDuKeyInfo", "Font", "Damaged"}));
    EXPECT_EQ(listed[10006], "Section9999");

    // A changed value and a new key each rewrite or add only their own line.
    ASSERT_EQ(ini.SaveSetting("Font", "FontSize", "15"), 1);
    ASSERT_EQ(ini.SaveSetting("Long", "Added", "1"), 1);
    settings.replace("FontSize=12", "FontSize=15");
    settings.replace("\r\n;ccc", "\r\nAdded=1\r\n;ccc");
    EXPECT_EQ(readFileBytes(file), settings);
}

TEST(SettingsFilePath, FolderSlashBaseNameAndIni) {
    for (const auto& [executable, expected] : {
             std::pair("/opt/quorvel/quorvel", "/opt/quorvel/quorvel.ini"),
             std::pair("/quorvel", "/quorvel.ini"), // the root folder already ends in "/"
             std::pair("/opt/q/translate.tool.exe", "/opt/q/translate.tool.ini"),
             std::pair("/opt/my tools /quorvel", "/opt/my tools/quorvel.ini"), // ends trimmed
             std::pair("/opt/q/.quorvel", "/opt/q/.quorvel.ini"),
         })
        EXPECT_EQ(settings::SettingsFilePathFor(executable), expected);
}

// Beside the executable when its file is there or one can be made there; otherwise the user's
// configuration folder, which only a write creates. Finding the path creates nothing.
TEST(SettingsFilePath, BesideTheExecutableWhenItsFileIsThereOrCanBeMadeElseTheUsersFolder) {
    QTemporaryDir writable, readOnlyWithFile, readOnly, config;
    ASSERT_TRUE(writeFileBytes(readOnlyWithFile.filePath("quorvel.ini"), WrittenByIniFunctions()));
    const auto restore = qScopeGuard([&] {
        for (const QTemporaryDir* folder : {&readOnlyWithFile, &readOnly}) {
            testsupport::setImmutable(folder->path(), false);
            ::chmod(QFile::encodeName(folder->path()).constData(), 0755);
        }
    });
    // The immutable attribute stops root as well; anyone else, a folder without write permission.
    for (const QTemporaryDir* folder : {&readOnlyWithFile, &readOnly})
        if (!testsupport::setImmutable(folder->path(), true) &&
            (geteuid() == 0 || ::chmod(QFile::encodeName(folder->path()).constData(), 0555) != 0))
            GTEST_SKIP() << "root writes into read-only folders and cannot set immutable";
    const QString userFile = config.filePath("quorvel/quorvel.ini");
    for (const auto& [folder, expected] : {
             std::pair(&writable, writable.filePath("quorvel.ini")),
             std::pair(&readOnlyWithFile, readOnlyWithFile.filePath("quorvel.ini")),
             std::pair(&readOnly, userFile),
         })
        EXPECT_EQ(settings::ChooseSettingsFilePath(folder->filePath("quorvel.ini"), config.path()),
                  expected);
    EXPECT_EQ(Entries(writable), QStringList());
    EXPECT_EQ(Entries(readOnly), QStringList());
    EXPECT_EQ(Entries(config), QStringList());

    // The portable copy's file is read, and a write there fails as on any read-only file.
    clsIniFile portable = IniAt(readOnlyWithFile.filePath("quorvel.ini"));
    ExpectTheWrittenSettings(portable);
    EXPECT_EQ(portable.SaveSetting("Font", "FontSize", "9"), 0);

    // The first write makes the user's folder, for the user only.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const auto restoreConfigHome = qScopeGuard([&] { qputenv("XDG_CONFIG_HOME", configHome); });
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    EXPECT_EQ(settings::UserSettingsFolder(), config.filePath("quorvel"));
    EXPECT_EQ(IniAt(userFile).GetSetting("Settings", "Https"), "unknown value");
    EXPECT_EQ(Entries(config), QStringList());
    EXPECT_NE(IniAt(userFile).SaveSetting("Settings", "Https", "TRUE"), 0);
    EXPECT_EQ(readFileBytes(userFile), "[Settings]\r\nHttps=TRUE\r\n");
    EXPECT_EQ(QFile::permissions(config.filePath("quorvel")) & 0x777, 0x700);
}

// An installed copy (the install rules put the marker in its data folder) keeps each user's
// settings in their own folder, even where it could write beside itself (root can, in /usr/bin)
// and even when a file is there already; the same folder without the marker is a portable copy.
TEST(SettingsFilePath, AnInstalledCopyUsesTheUsersFolderWhoeverRunsIt) {
    QTemporaryDir prefix, config;
    const QString bin = prefix.filePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString beside = QDir(bin).filePath("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(beside, WrittenByIniFunctions()));
    EXPECT_EQ(settings::ChooseSettingsFilePath(beside, config.path()), beside);

    const QString marker = QDir::cleanPath(QDir(bin).filePath(settings::InstalledCopyMarker()));
    EXPECT_EQ(marker, prefix.filePath("share/quorvel/settings-per-user"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(marker).path()));
    ASSERT_TRUE(writeFileBytes(marker, "installed"));
    EXPECT_EQ(settings::ChooseSettingsFilePath(beside, config.path()),
              config.filePath("quorvel/quorvel.ini"));
}

// The XDG rules: only an absolute XDG_CONFIG_HOME counts; a relative one, like none, means
// ~/.config.
TEST(SettingsFilePath, ARelativeXdgConfigHomeIsIgnored) {
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME"), savedConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    });
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const auto& [configHome, expected] : {
             std::pair("/etc/elsewhere", QStringLiteral("/etc/elsewhere/quorvel")),
             std::pair("relative/config", home.filePath(".config/quorvel")),
             std::pair("./config", home.filePath(".config/quorvel")),
             std::pair("", home.filePath(".config/quorvel")),
         }) {
        qputenv("XDG_CONFIG_HOME", configHome);
        EXPECT_EQ(settings::UserSettingsFolder(), expected) << configHome;
    }
}

// A save never makes the file larger than a read takes: past 4 MiB the whole file, credentials
// included, would read as empty. Refused, the file stays as it was.
TEST(SettingsFaults, ASaveThatWouldPassTheSizeLimitIsRefused) {
    QTemporaryDir dir;
    const QString file = dir.filePath("quorvel.ini");
    QByteArray full = WrittenByIniFunctions() + ";";
    full += QByteArray(platform::kMaxProfileFileSize - full.size() - 2, 'x') + "\r\n";
    ASSERT_EQ(full.size(), 4 << 20);
    ASSERT_TRUE(writeFileBytes(file, full));
    clsIniFile ini = IniAt(file);
    EXPECT_EQ(ini.SaveSetting("Font", "FontSize", "120"), 0);
    EXPECT_EQ(ini.SaveSettings("Font", {{"FontSize", "120"}}), platform::ProfileWrite::TooLarge);
    EXPECT_EQ(readFileBytes(file), full);
    // What keeps the size is written.
    EXPECT_EQ(ini.SaveSetting("Font", "FontSize", "13"), 1);
    EXPECT_EQ(ini.GetSetting("Font", "FontSize"), "13");
}

// Another process saves one pair and then the other while this one reads: every read gives a
// pair that was saved, never one pair's App ID beside the other's key.
TEST(QuorvelSettingsFile, CredentialsReadWhileAnotherProcessSavesAreAlwaysOneSavedPair) {
    QTemporaryDir dir;
    const settings::QuorvelSettings settings(dir.filePath("quorvel.ini"));
    const modStrHexByte::Credentials pairs[] = {{"20260101000000001", "FirstKey01"},
                                                {"20260101000000002", "TheSecondKey0002"}};
    ASSERT_EQ(settings.setCredentials(pairs[0]), platform::ProfileWrite::Written);
    int saving[2];
    ASSERT_EQ(::pipe(saving), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(saving[0]);
        bool saved = ::write(saving[1], "s", 1) == 1;
        for (int i = 1; saved && i <= 200; ++i)
            saved = settings.setCredentials(pairs[i % 2]) == platform::ProfileWrite::Written;
        _exit(saved ? 0 : 1);
    }
    ::close(saving[1]);
    char sign = 0;
    ASSERT_EQ(::read(saving[0], &sign, 1), 1);
    ::close(saving[0]);
    int reads = 0, mixed = 0, status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        const auto read = settings.credentials();
        ++reads;
        const bool onePair =
            read && std::any_of(std::begin(pairs), std::end(pairs), [&](auto& p) {
                return read->strAppID == p.strAppID && read->strSecretKey == p.strSecretKey;
            });
        mixed += !onePair;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(mixed, 0) << "of " << reads << " reads";
}
