#include "settings/SettingsFilePath.h"
#include "settings/clsIniFile.h"

#include "support/FileBytes.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using testsupport::fixturePath;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

const QString kUnknownValue = QStringLiteral("unknown value");
const QString kUnknownSectionOrKey = QStringLiteral("Unknown section or key");

// The file's permission bits as the system holds them.
mode_t permissionBits(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return 07777;
    return status.st_mode & 0777;
}

class IniFile : public ::testing::Test {
protected:
    clsIniFile iniAt(const QString& name) const {
        clsIniFile ini;
        ini.File(dir.filePath(name));
        return ini;
    }
    QString copyOf(const QString& fixture) const { return testsupport::copyFixture(fixture, dir); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFile, MarkerTextsForWhatIsMissingOrEmpty) {
    clsIniFile missing = iniAt(QStringLiteral("missing.ini"));
    EXPECT_EQ(missing.GetSetting(QStringLiteral("Settings"), QStringLiteral("Https")),
              kUnknownValue);

    clsIniFile ini;
    ini.File(fixturePath(QStringLiteral("hand-edited.ini")));
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Nowhere"), QStringLiteral("Https")), kUnknownValue);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Settings"), QStringLiteral("Nothing")), kUnknownValue);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("Empty")),
              kUnknownSectionOrKey);
    EXPECT_FALSE(QFileInfo::exists(missing.File()));
}

TEST_F(IniFile, ReadsTheFilesWindowsAndEditorsLeave) {
    clsIniFile windows;
    windows.File(fixturePath(QStringLiteral("windows-settings.ini")));
    EXPECT_EQ(windows.GetSetting(QStringLiteral("Settings"), QStringLiteral("Https")),
              QStringLiteral("TRUE"));
    EXPECT_EQ(windows.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("AppID")),
              QStringLiteral("20240101000123456"));
    EXPECT_EQ(
        windows.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("Secret_Key_Encode")),
        QStringLiteral("25BC8C975F27896E493C5D3010892D340EF2F9A6"));
    EXPECT_EQ(windows.GetSetting(QStringLiteral("Font"), QStringLiteral("FontSize")),
              QStringLiteral("12"));

    clsIniFile edited;
    edited.File(fixturePath(QStringLiteral("hand-edited.ini")));
    EXPECT_EQ(edited.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("Note")),
              QStringLiteral("中文说明"));

    clsIniFile unicode;
    unicode.File(fixturePath(QStringLiteral("utf16.ini")));
    EXPECT_EQ(unicode.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("AppID")),
              QStringLiteral("中文应用"));
}

TEST_F(IniFile, SaveCreatesTheFileAndReadsBackExactly) {
    clsIniFile ini = iniAt(QStringLiteral("new.ini"));
    EXPECT_NE(ini.SaveSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("AppID"),
                              QStringLiteral("应用 20240101")),
              0);
    EXPECT_NE(
        ini.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), QStringLiteral("10.5")),
        0);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("AppID")),
              QStringLiteral("应用 20240101"));
    EXPECT_EQ(readFileBytes(ini.File()),
              QByteArray("[BaiDuKeyInfo]\r\nAppID=\xD3\xA6\xD3\xC3 20240101\r\n"
                         "[Font]\r\nFontSize=10.5\r\n"));
}

TEST_F(IniFile, WriteToTheWindowsFileChangesOnlyItsLine) {
    clsIniFile ini;
    ini.File(copyOf(QStringLiteral("windows-settings.ini")));
    EXPECT_NE(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"),
                              QStringLiteral("FALSE")),
              0);
    QByteArray expected = readFileBytes(fixturePath(QStringLiteral("windows-settings.ini")));
    expected.replace("Https=TRUE\r\n", "Https=FALSE\r\n");
    EXPECT_EQ(readFileBytes(ini.File()), expected);
}

TEST_F(IniFile, LongValueIsCutToTheReadBuffer) {
    clsIniFile ini = iniAt(QStringLiteral("long.ini"));
    const QString value(40000, u'x');
    ASSERT_NE(ini.SaveSetting(QStringLiteral("s"), QStringLiteral("k"), value), 0);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("s"), QStringLiteral("k")), value.left(32749));
}

TEST_F(IniFile, GetSectionListsNamesFromIndexOne) {
    const QString path = dir.filePath(QStringLiteral("keys.ini"));
    ASSERT_TRUE(writeFileBytes(path, "[Keys]\r\nabc=3\r\na=1\r\n; c=0\r\nbb=\r\n[Empty]\r\n"));
    clsIniFile ini;
    ini.File(path);

    QStringList keys{QStringLiteral("stale")};
    EXPECT_EQ(ini.GetSection(QStringLiteral("keys"), keys), 3);
    EXPECT_EQ(keys, (QStringList{QString(), QStringLiteral("abc"), QStringLiteral("a"),
                                 QStringLiteral("bb")}));

    keys = QStringList{QStringLiteral("stale")};
    EXPECT_EQ(ini.GetSection(QStringLiteral("Empty"), keys), 0);
    EXPECT_EQ(keys, QStringList{QString()});

    clsIniFile missing = iniAt(QStringLiteral("missing.ini"));
    EXPECT_EQ(missing.GetSection(QStringLiteral("Keys"), keys), 0);
    EXPECT_EQ(keys, QStringList{QString()});
}

TEST_F(IniFile, DeleteSectionRemovesOnlyThatSection) {
    const QString path = dir.filePath(QStringLiteral("delete.ini"));
    ASSERT_TRUE(writeFileBytes(path, "[Font]\r\nFontSize=9\r\n[Settings]\r\nHttps=TRUE\r\n"));
    clsIniFile ini;
    ini.File(path);
    ini.DeleteSection(QStringLiteral("Missing"));
    EXPECT_EQ(readFileBytes(path),
              QByteArray("[Font]\r\nFontSize=9\r\n[Settings]\r\nHttps=TRUE\r\n"));
    ini.DeleteSection(QStringLiteral("font"));
    EXPECT_EQ(readFileBytes(path), QByteArray("[Settings]\r\nHttps=TRUE\r\n"));
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Font"), QStringLiteral("FontSize")), kUnknownValue);
}

TEST_F(IniFile, LineBreaksAndZeroCharactersAreRefused) {
    clsIniFile ini;
    ini.File(copyOf(QStringLiteral("windows-settings.ini")));
    const QString ok = QStringLiteral("ok");
    const QString injected = QStringLiteral("TRUE\r\n[BaiDuKeyInfo]\r\nAppID=evil");
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"), injected), 0);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"),
                              QStringLiteral("a\nb")),
              0);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Ht\rtps"), ok), 0);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Sett\nings"), QStringLiteral("Https"), ok), 0);
    const QString withZero = QStringLiteral("Https") + QChar(0) + QStringLiteral("x");
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Settings"), withZero, ok), 0);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"), withZero), 0);
    EXPECT_EQ(readFileBytes(ini.File()),
              readFileBytes(fixturePath(QStringLiteral("windows-settings.ini"))));
}

TEST_F(IniFile, FailedWritesReturnZeroAndChangeNothing) {
    clsIniFile noFolder = iniAt(QStringLiteral("no-such-folder/settings.ini"));
    EXPECT_EQ(noFolder.SaveSetting(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")),
              0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("no-such-folder"))));

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    clsIniFile isFolder = iniAt(QStringLiteral("folder.ini"));
    EXPECT_EQ(isFolder.SaveSetting(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")),
              0);
    EXPECT_TRUE(QFileInfo(isFolder.File()).isDir());
    EXPECT_EQ(isFolder.GetSetting(QStringLiteral("s"), QStringLiteral("k")), kUnknownValue);

    clsIniFile noPath;
    EXPECT_EQ(noPath.SaveSetting(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")), 0);
}

TEST_F(IniFile, ReadOnlyFileIsNotWritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files; the folder cases cover the failure path";
    const QString path = copyOf(QStringLiteral("windows-settings.ini"));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    clsIniFile ini;
    ini.File(path);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"),
                              QStringLiteral("FALSE")),
              0);
    EXPECT_EQ(readFileBytes(path),
              readFileBytes(fixturePath(QStringLiteral("windows-settings.ini"))));
}

TEST_F(IniFile, NewFileIsOwnerOnlyAndExistingFileKeepsItsPermissions) {
    clsIniFile fresh = iniAt(QStringLiteral("fresh.ini"));
    ASSERT_NE(fresh.SaveSetting(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")), 0);
    EXPECT_EQ(permissionBits(fresh.File()), 0600u);

    const QString shared = copyOf(QStringLiteral("windows-settings.ini"));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0644), 0);
    clsIniFile existing;
    existing.File(shared);
    ASSERT_NE(existing.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"),
                                   QStringLiteral("14")),
              0);
    EXPECT_EQ(permissionBits(shared), 0644u);
}

TEST_F(IniFile, TwoObjectsWritingInTurnKeepBothValues) {
    clsIniFile first = iniAt(QStringLiteral("shared.ini"));
    clsIniFile second = iniAt(QStringLiteral("shared.ini"));
    for (int round = 0; round < 3; ++round) {
        const QString n = QString::number(round);
        ASSERT_NE(first.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"), n), 0);
        ASSERT_NE(second.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), n), 0);
        EXPECT_EQ(second.GetSetting(QStringLiteral("Settings"), QStringLiteral("Https")), n);
        EXPECT_EQ(first.GetSetting(QStringLiteral("Font"), QStringLiteral("FontSize")), n);
    }
    EXPECT_EQ(readFileBytes(first.File()),
              QByteArray("[Settings]\r\nHttps=2\r\n[Font]\r\nFontSize=2\r\n"));
    // Neither the lock nor a temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("shared.ini")});
}

TEST(SettingsFilePath, FolderSlashBaseNameAndIni) {
    EXPECT_EQ(SettingsFilePathFor(QStringLiteral("/opt/quorvel/quorvel")),
              QStringLiteral("/opt/quorvel/quorvel.ini"));
    // The root folder already ends in "/".
    EXPECT_EQ(SettingsFilePathFor(QStringLiteral("/quorvel")), QStringLiteral("/quorvel.ini"));
    // Only the last extension is the executable's.
    EXPECT_EQ(SettingsFilePathFor(QStringLiteral("/opt/q/translate.tool.exe")),
              QStringLiteral("/opt/q/translate.tool.ini"));
    // Blanks at the ends of the folder go, blanks inside stay.
    EXPECT_EQ(SettingsFilePathFor(QStringLiteral("/opt/my tools /quorvel")),
              QStringLiteral("/opt/my tools/quorvel.ini"));
    EXPECT_EQ(SettingsFilePathFor(QStringLiteral("/opt/q/.quorvel")),
              QStringLiteral("/opt/q/.quorvel.ini"));
}

TEST(SettingsFilePath, LiesBesideTheRunningExecutable) {
    // This test program is the running executable.
    const QFileInfo withoutApplication(SettingsFilePath());
    EXPECT_EQ(withoutApplication.fileName(), QStringLiteral("test_clsIniFile.ini"));
    EXPECT_TRUE(QFileInfo(withoutApplication.dir().filePath(QStringLiteral("test_clsIniFile")))
                    .isExecutable());

    int argc = 1;
    char name[] = "test_clsIniFile";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    EXPECT_EQ(SettingsFilePath(), withoutApplication.filePath());
}

TEST(SettingsFilePath, FallsBackToTheUserConfigFolderWhenTheProgramFolderIsNotWritable) {
    QTemporaryDir portable;
    QTemporaryDir config;
    const QString beside = QDir(portable.path()).filePath(QStringLiteral("quorvel.ini"));
    EXPECT_EQ(WritableSettingsFilePath(beside, config.path()), beside);
    EXPECT_FALSE(QFileInfo::exists(config.filePath(QStringLiteral("quorvel"))));

    // Not even root can create a file among a process's entries.
    const QString installed = QStringLiteral("/proc/1/quorvel.ini");
    const QString fallback = WritableSettingsFilePath(installed, config.path());
    EXPECT_EQ(fallback, config.filePath(QStringLiteral("quorvel/quorvel.ini")));
    EXPECT_EQ(QFileInfo(config.filePath(QStringLiteral("quorvel"))).permissions() & 0x0077, 0);

    clsIniFile ini;
    ini.File(fallback);
    EXPECT_NE(ini.SaveSetting(QStringLiteral("Settings"), QStringLiteral("Https"),
                              QStringLiteral("TRUE")),
              0);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Settings"), QStringLiteral("Https")),
              QStringLiteral("TRUE"));
}
