// Faults from the service and the file system as the window and the settings file meet them.
// Every case must end with a clear result and lose nothing that was stored. The client's own
// faults are tested in test_modQuorvel.cpp.

#include "app/TextBoxes.h"
#include "platform/PrivateProfile.h"
#include "support/FileBytes.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using standin::Fault;
using testsupport::kAppId;
using testsupport::kKey;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

const QString kUnknownValue = QStringLiteral("unknown value");

// Bytes with a zero byte between `before` and `after`.
QByteArray WithZero(const QByteArray& before, const QByteArray& after) {
    return before + QByteArray(1, '\0') + after;
}

// A settings file of Quorvel's with its credentials.
QByteArray StoredSettings() {
    return "[Settings]\r\nHttps=TRUE\r\n[BaiDuKeyInfo]\r\nAppID=" + kAppId.toLatin1() +
           "\r\nSecret_Key_Encode=" + modStrHexByte::EncodeSecretKey(kAppId, kKey).toLatin1() +
           "\r\n[Font]\r\nFontSize=14\r\n";
}

// Reads every value Quorvel keeps and checks it is the one StoredSettings holds.
void ExpectTheStoredSettings(const clsIniFile& ini) {
    EXPECT_EQ(ini.GetSetting("Settings", "Https"), "TRUE");
    EXPECT_EQ(ini.GetSetting("BaiDuKeyInfo", "AppID"), kAppId);
    EXPECT_EQ(
        modStrHexByte::DecodeSecretKey(kAppId, ini.GetSetting("BaiDuKeyInfo", "Secret_Key_Encode")),
        kKey);
    EXPECT_EQ(ini.GetSetting("Font", "FontSize"), "14");
}

// Sets or clears the immutable attribute, which stops root as well; false when it cannot.
bool SetImmutable(const QString& path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

class SettingsFaults : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    static clsIniFile iniAt(const QString& file) {
        clsIniFile ini;
        ini.File(file);
        return ini;
    }
    // The folder's entries other than . and .., hidden ones included.
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
};

} // namespace

// ---- The window against a service that misbehaves ----

using WindowFaults = ServiceWindowFixture;

TEST_F(WindowFaults, FailuresReplaceTheBusyTextWithTheReasonAndNoMessageBox) {
    openWithCredentials();
    for (const auto& [fault, reason] :
         {std::pair(Fault::CloseMidReply, "请求失败:连接中断"),
          std::pair(Fault::HugeReply, "请求失败:服务器回复过大"),
          std::pair(Fault::InvalidUtf8Body, "无法识别的服务回复(HTTP 200)")}) {
        service.setFault(fault);
        EXPECT_EQ(translate("apple"), QString::fromUtf8(reason));
    }
    service.setFault(Fault::None);
    EXPECT_EQ(translate("apple"), QStringLiteral("苹果"));
    service.stop();
    EXPECT_EQ(translate("apple"), QStringLiteral("请求失败:无法连接到服务器"));
    EXPECT_TRUE(dialogs.shown.empty());
}

// A reply within the size limit that is one word of megabytes: shown whole, without freezing the
// window (Qt's word-boundary wrapping of such a run takes minutes).
TEST_F(WindowFaults, OneHugeWordWithinTheLimitIsShownWhole) {
    openWithCredentials();
    constexpr qint64 kSize = 3'000'000;
    constexpr qint64 kFrame =
        sizeof R"({"from":"en","to":"zh","trans_result":[{"src":"huge","dst":""}]})" - 1;
    service.setFault(Fault::HugeReply, {}, 500, kSize);
    const QString shown = translate("apple");
    EXPECT_EQ(shown.size(), kSize - kFrame);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("xxxx")));

    // The next text wraps at word boundaries again, and replaces the word as quickly.
    service.setFault(Fault::None);
    EXPECT_EQ(translate("apple"), QStringLiteral("苹果"));
    EXPECT_EQ(text2()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// ---- Settings files that cannot be written or hold what no program writes ----

TEST_F(SettingsFaults, WhereNoFileCanBeWrittenWritesReturnZeroAndChangeNothing) {
    ASSERT_TRUE(writeFileBytes(path("plain-file"), "not a folder"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    // /proc and a path under a plain file stop root too.
    for (const QString& file : {path("no-such-folder/quorvel.ini"), path("plain-file/quorvel.ini"),
                                QStringLiteral("/proc/quorvel-faults.ini"), path("folder.ini")}) {
        clsIniFile ini = iniAt(file);
        EXPECT_EQ(ini.SaveSetting("Font", "FontSize", "14"), 0) << file.toStdString();
        EXPECT_EQ(ini.GetSetting("Font", "FontSize"), kUnknownValue);
    }
    EXPECT_EQ(entries(), QStringList({"folder.ini", "plain-file"}));
    EXPECT_EQ(readFileBytes(path("plain-file")), "not a folder");
    EXPECT_TRUE(
        QDir(path("folder.ini")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(SettingsFaults, ReadOnlyFileOrFolderIsReadButNotWritten) {
    const QString file = path("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, StoredSettings()));
    // Only the immutable attribute stops root; anyone else, a folder without write permission.
    const QByteArray folder = QFile::encodeName(dir.path());
    const bool immutable = SetImmutable(file, true);
    const auto restore = qScopeGuard([&] {
        SetImmutable(file, false);
        ::chmod(folder.constData(), 0755);
    });
    if (!immutable) {
        if (geteuid() == 0)
            GTEST_SKIP() << "root writes into read-only folders and cannot make a file immutable";
        ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    }
    clsIniFile ini = iniAt(file);
    EXPECT_EQ(ini.SaveSetting("Font", "FontSize", "9"), 0);
    EXPECT_EQ(ini.SaveSetting("Other", "Key", "1"), 0);
    ExpectTheStoredSettings(ini);
    EXPECT_EQ(readFileBytes(file), StoredSettings());
    EXPECT_EQ(entries(), QStringList{QStringLiteral("quorvel.ini")});
}

// Listing the sections once looked up every name again from the top of the file: 40 s here.
TEST_F(SettingsFaults, DamagedHugeFileIsReadListedAndKeptByteForByte) {
    // A lead byte without its trail byte, a byte no character starts with, a lead byte before
    // CR LF, zero bytes in a value, a key name and a section name, a 1 MB line and comment,
    // 10 000 sections, and a lead byte ending the file.
    QByteArray settings = "[Long]\r\nLong=" + QByteArray(1 << 20, 'v') + "\r\n;" +
                          QByteArray(1 << 20, 'c') + "\r\n" + StoredSettings() +
                          "[Damaged]\r\nNote=a\x81 b\xFF\xFF"
                          "c\x81\r\n" +
                          WithZero("Zero=1", "2\r\n") + WithZero("Ke", "y=3\r\n[Na") +
                          WithZero("", "me]\r\nKey=4\r\n");
    for (int i = 0; i < 10000; ++i)
        settings += "[Section" + QByteArray::number(i) + "]\r\nKey=" + QByteArray::number(i) +
                    "\r\nBad=\xFF\x81\r\n" + WithZero("Zero=a", "b\r\n");
    settings += "\x81";
    const QString file = path("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, settings));
    clsIniFile ini = iniAt(file);
    ExpectTheStoredSettings(ini);
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
    settings.replace("FontSize=14", "FontSize=15");
    settings.replace("\r\n;ccc", "\r\nAdded=1\r\n;ccc");
    EXPECT_EQ(readFileBytes(file), settings);
}

using WindowSettingsFaults = WindowFixture;

TEST_F(WindowSettingsFaults, SettingsPathThatIsAFolderStartsBareAndChangesNothing) {
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    openWindow();
    EXPECT_FALSE(check1()->isChecked());
    EXPECT_TRUE(window().credentials().strAppID.isEmpty());
    const double size = TextBoxes::FontSize(text1());
    click("Command5");
    check1()->click();
    EXPECT_EQ(TextBoxes::FontSize(text1()), size + 1); // the change holds for this run
    EXPECT_TRUE(check1()->isChecked());
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
    EXPECT_TRUE(QDir(iniPath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(dialogs.shown.empty());
}
