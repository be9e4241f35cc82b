#include "settings/SettingsFilePath.h"
#include "settings/clsIniFile.h"

#include "support/FileBytes.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

using testsupport::fixturePath;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

clsIniFile IniAt(const QString& path) {
    clsIniFile ini;
    ini.File(path);
    return ini;
}

// The group and other permission bits (0x77 of Qt's flags for 077).
int SharedPermissions(const QString& path) {
    return static_cast<int>(QFile::permissions(path) & 0x77);
}

} // namespace

TEST(IniFile, ReadsTheFilesWindowsAndEditorsLeaveAndMarksWhatIsMissing) {
    const struct {
        const char *file, *section, *key, *value;
    } cases[] = {
        {"windows-settings.ini", "Settings", "Https", "TRUE"},
        {"windows-settings.ini", "BaiDuKeyInfo", "AppID", "20240101000123456"},
        {"hand-edited.ini", "settings", "HTTPS", "true"},
        {"hand-edited.ini", "BaiDuKeyInfo", "AppID", "20240101000123456"},
        {"hand-edited.ini", "BaiDuKeyInfo", "Note", "中文说明"},
        {"utf16.ini", "BaiDuKeyInfo", "AppID", "中文应用"},
        {"hand-edited.ini", "Nowhere", "Https", "unknown value"},
        {"hand-edited.ini", "Settings", "Nothing", "unknown value"},
        {"hand-edited.ini", "BaiDuKeyInfo", "Empty", "Unknown section or key"},
        {"missing.ini", "Settings", "Https", "unknown value"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniAt(fixturePath(c.file)).GetSetting(c.section, c.key),
                  QString::fromUtf8(c.value))
            << c.file << " " << c.section << "." << c.key;
    EXPECT_FALSE(QFileInfo::exists(fixturePath("missing.ini")));
}

// A new file holds the encoded key: it is for its owner only. An existing file keeps its
// permissions, and a write changes only its own line.
TEST(IniFile, NewFileIsCodePage936ForItsOwnerOnlyAndAWriteChangesOnlyItsLine) {
    QTemporaryDir dir;
    clsIniFile fresh = IniAt(dir.filePath("new.ini"));
    EXPECT_NE(fresh.SaveSetting("BaiDuKeyInfo", "AppID", "应用 20240101"), 0);
    EXPECT_EQ(fresh.GetSetting("BaiDuKeyInfo", "AppID"), QStringLiteral("应用 20240101"));
    EXPECT_EQ(readFileBytes(fresh.File()), "[BaiDuKeyInfo]\r\nAppID=\xD3\xA6\xD3\xC3 20240101\r\n");
    EXPECT_EQ(SharedPermissions(fresh.File()), 0);

    const QString path = testsupport::copyFixture("windows-settings.ini", dir);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    EXPECT_NE(IniAt(path).SaveSetting("Settings", "Https", "FALSE"), 0);
    QByteArray expected = readFileBytes(fixturePath("windows-settings.ini"));
    expected.replace("Https=TRUE\r\n", "Https=FALSE\r\n");
    EXPECT_EQ(readFileBytes(path), expected);
    EXPECT_EQ(SharedPermissions(path), 0x44);
}

// Written raw, a line break would inject keys and sections into the file.
TEST(IniFile, LineBreaksAndZeroCharactersAreRefused) {
    QTemporaryDir dir;
    clsIniFile ini = IniAt(testsupport::copyFixture("windows-settings.ini", dir));
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
    EXPECT_EQ(readFileBytes(ini.File()), readFileBytes(fixturePath("windows-settings.ini")));
}

TEST(IniFile, GetSectionListsNamesFromIndexOneAndDeleteSectionRemovesOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.ini");
    ASSERT_TRUE(writeFileBytes(path, "[Keys]\r\nabc=3\r\na=1\r\n; c=0\r\nbb=\r\n[Empty]\r\n"));
    clsIniFile ini = IniAt(path);
    QStringList keys{"stale"};
    EXPECT_EQ(ini.GetSection("keys", keys), 3);
    EXPECT_EQ(keys, QStringList({"", "abc", "a", "bb"}));
    for (const char* empty : {"Empty", "Missing"}) {
        keys = QStringList{"stale"};
        EXPECT_EQ(ini.GetSection(empty, keys), 0);
        EXPECT_EQ(keys, QStringList{QString()});
    }

    ini.DeleteSection("Missing");
    ini.DeleteSection("keys"); // comments stay, as on Windows
    EXPECT_EQ(readFileBytes(path), "; c=0\r\n[Empty]\r\n");
}

TEST(IniFile, TwoObjectsWritingInTurnKeepBothValues) {
    QTemporaryDir dir;
    clsIniFile first = IniAt(dir.filePath("shared.ini"));
    clsIniFile second = IniAt(dir.filePath("shared.ini"));
    for (int round = 0; round < 3; ++round) {
        const QString n = QString::number(round);
        ASSERT_NE(first.SaveSetting("Settings", "Https", n), 0);
        ASSERT_NE(second.SaveSetting("Font", "FontSize", n), 0);
        EXPECT_EQ(second.GetSetting("Settings", "Https"), n);
        EXPECT_EQ(first.GetSetting("Font", "FontSize"), n);
    }
    EXPECT_EQ(readFileBytes(first.File()), "[Settings]\r\nHttps=2\r\n[Font]\r\nFontSize=2\r\n");
    // Neither the lock nor a temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.ini"});
}

TEST(SettingsFilePath, FolderSlashBaseNameAndIni) {
    for (const auto& [executable, settings] : {
             std::pair("/opt/quorvel/quorvel", "/opt/quorvel/quorvel.ini"),
             std::pair("/quorvel", "/quorvel.ini"), // the root folder already ends in "/"
             std::pair("/opt/q/translate.tool.exe", "/opt/q/translate.tool.ini"),
             std::pair("/opt/my tools /quorvel", "/opt/my tools/quorvel.ini"), // ends trimmed
             std::pair("/opt/q/.quorvel", "/opt/q/.quorvel.ini"),
         })
        EXPECT_EQ(SettingsFilePathFor(executable), settings);
}

TEST(SettingsFilePath, FallsBackToTheUserConfigFolderWhenTheProgramFolderIsNotWritable) {
    QTemporaryDir portable;
    QTemporaryDir config;
    const QString beside = portable.filePath("quorvel.ini");
    EXPECT_EQ(WritableSettingsFilePath(beside, config.path()), beside);
    EXPECT_FALSE(QFileInfo::exists(config.filePath("quorvel")));

    // Not even root can create a file among a process's entries.
    const QString fallback = WritableSettingsFilePath("/proc/1/quorvel.ini", config.path());
    EXPECT_EQ(fallback, config.filePath("quorvel/quorvel.ini"));
    EXPECT_EQ(SharedPermissions(config.filePath("quorvel")), 0);
    clsIniFile ini = IniAt(fallback);
    EXPECT_NE(ini.SaveSetting("Settings", "Https", "TRUE"), 0);
    EXPECT_EQ(ini.GetSetting("Settings", "Https"), "TRUE");
}
