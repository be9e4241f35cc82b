// Faults from the service, the network and the file system. Every case must end with a clear
// result, in the client or in the window, and lose nothing that was stored.

#include "app/TextBoxes.h"
#include "client/modQuorvel.h"
#include "credentials/modStrHexByte.h"
#include "platform/PrivateProfile.h"
#include "standin/StandInService.h"
#include "support/FileBytes.h"
#include "support/TestPki.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using modQuorvel::ConnectionOptions;
using modQuorvel::TranslateFailure;
using platform::GetPrivateProfileStringA;
using standin::Fault;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

namespace {

const QString kAppId = QStringLiteral("20260101000000001");
const QString kKey = QStringLiteral("QuorvelTestKey01");
const QString kUnknownValue = QStringLiteral("unknown value");
// Nothing listens on port 1.
const QString kDeadEndpoint = QStringLiteral("http://127.0.0.1:1/api/trans/vip/translate");
// The JSON around the one dst value of a HugeReply.
constexpr qint64 kHugeReplyFrame =
    sizeof R"({"from":"en","to":"zh","trans_result":[{"src":"huge","dst":""}]})" - 1;

const QString kInterrupted = QStringLiteral("请求失败:连接中断");
const QString kTooLarge = QStringLiteral("请求失败:服务器回复过大");
const QString kTimedOut = QStringLiteral("请求失败:请求超时");
const QString kCertificate = QStringLiteral("请求失败:服务器证书验证失败");
const QString kUnrecognised = QStringLiteral("无法识别的服务回复(HTTP 200)");

standin::ServiceOptions TestAccount() {
    standin::ServiceOptions options;
    options.accounts = {{kAppId.toStdString(), kKey.toStdString()}};
    return options;
}

// Bytes with zero bytes in them.
QByteArray WithZero(const QByteArray& before, const QByteArray& after) {
    return before + QByteArray(1, '\0') + after;
}

} // namespace

// ---- The client against a service that misbehaves ----

namespace {

class ServiceFaults : public ::testing::Test {
protected:
    void SetUp() override {
        service.start();
        options.httpEndpoint = QString::fromStdString(service.endpoint());
        options.httpsEndpoint = kDeadEndpoint;
    }

    QString Translate() {
        return modQuorvel::TranslateText(QStringLiteral("apple"), QStringLiteral("en"),
                                         QStringLiteral("zh"), kAppId, kKey, false, options);
    }
    QString Failure() {
        try {
            return QStringLiteral("(no failure) ") + Translate().left(40);
        } catch (const TranslateFailure& failure) {
            return failure.reason();
        }
    }
    // After a fault the next request starts clean.
    void ExpectTheNextRequestToWork() {
        service.setFault(Fault::None);
        EXPECT_EQ(Translate(), QStringLiteral("苹果"));
    }

    standin::StandInService service{TestAccount()};
    ConnectionOptions options;
};

} // namespace

TEST_F(ServiceFaults, ServerClosingInTheMiddleOfTheReplyInterruptsTheRequest) {
    service.setFault(Fault::CloseMidReply);
    EXPECT_EQ(Failure(), kInterrupted);
    ExpectTheNextRequestToWork();
}

TEST_F(ServiceFaults, ReplyFarBeyondAnyTranslationIsRefused) {
    service.setFault(Fault::HugeReply); // 10 MB
    EXPECT_EQ(Failure(), kTooLarge);

    // The limit is exact, and a reply within it comes back whole, however large.
    options.maxReplyBytes = 1 << 20;
    service.setFault(Fault::HugeReply, {}, 500, 1 << 20);
    EXPECT_EQ(Translate(), QString((1 << 20) - kHugeReplyFrame, u'x'));
    service.setFault(Fault::HugeReply, {}, 500, (1 << 20) + 1);
    EXPECT_EQ(Failure(), kTooLarge);
    options.maxReplyBytes = 16 << 20;
    service.setFault(Fault::HugeReply);
    EXPECT_EQ(Translate().size(),
              static_cast<qsizetype>(standin::kHugeReplyBytes) - kHugeReplyFrame);
    ExpectTheNextRequestToWork();
}

TEST_F(ServiceFaults, ReplyDrippingPastTheTimeOutIsGivenUp) {
    options.totalTimeout = std::chrono::seconds(1);
    service.setFault(Fault::Drip, std::chrono::seconds(1));
    EXPECT_EQ(Failure(), kTimedOut);
    ExpectTheNextRequestToWork();
}

TEST_F(ServiceFaults, InvalidUtf8AndInvalidJsonAreUnrecognisedReplies) {
    service.setFault(Fault::InvalidUtf8Body);
    EXPECT_EQ(Failure(), kUnrecognised);
    service.setFault(Fault::InvalidJsonBody);
    EXPECT_EQ(Failure(), kUnrecognised);
    ExpectTheNextRequestToWork();
}

TEST(TlsFaults, CertificateForAnotherHostIsRefusedBeforeTheRequestIsSent) {
    QTemporaryDir folder;
    const testsupport::TestPki pki = testsupport::MakeTestPki(folder.path().toStdString());
    standin::ServiceOptions serviceOptions = TestAccount();
    serviceOptions.certFile = pki.otherHostCert;
    serviceOptions.keyFile = pki.otherHostKey;
    standin::StandInService service(serviceOptions);
    service.start();

    ConnectionOptions options;
    options.httpEndpoint = kDeadEndpoint;
    options.httpsEndpoint = QString::fromStdString(service.endpoint());
    options.extraCaFile = QString::fromStdString(pki.caCert); // trusted, but names another host
    try {
        modQuorvel::TranslateText(QStringLiteral("apple"), QStringLiteral("en"),
                                  QStringLiteral("zh"), kAppId, kKey, true, options);
        ADD_FAILURE() << "a certificate for another host was accepted";
    } catch (const TranslateFailure& failure) {
        EXPECT_EQ(failure.reason(), kCertificate);
    }
    EXPECT_TRUE(service.requests().empty()) << "the signed request went out";
}

// ---- The window against a service that misbehaves ----

namespace {

class WindowFaults : public WindowFixture {
protected:
    void SetUp() override { service.start(); }

    void openWithCredentials(const QByteArray& httpsEndpoint = "http://127.0.0.1:1/") {
        writeSettings("[Service]\r\nHttpEndpoint=" + QByteArray(service.endpoint().c_str()) +
                      "\r\nHttpsEndpoint=" + httpsEndpoint + "\r\n[BaiDuKeyInfo]\r\nAppID=" +
                      kAppId.toLatin1() + "\r\nSecret_Key_Encode=" +
                      modStrHexByte::EncodeSecretKey(kAppId, kKey).toLatin1() + "\r\n");
        openWindow();
    }
    // Clicks 开始翻译 and lets the window lay out and paint what it shows.
    QString translate() {
        text1()->setPlainText(QStringLiteral("apple"));
        click("Command1");
        QApplication::processEvents();
        return text2()->toPlainText();
    }

    standin::StandInService service{TestAccount()};
};

} // namespace

TEST_F(WindowFaults, NetworkFaultsReplaceTheBusyTextWithTheReason) {
    openWithCredentials();
    service.setFault(Fault::CloseMidReply);
    EXPECT_EQ(translate(), kInterrupted);
    service.setFault(Fault::HugeReply);
    EXPECT_EQ(translate(), kTooLarge);
    service.setFault(Fault::InvalidUtf8Body);
    EXPECT_EQ(translate(), kUnrecognised);
    service.setFault(Fault::None);
    EXPECT_EQ(translate(), QStringLiteral("苹果"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WindowFaults, CertificateForAnotherHostIsShownAsSuch) {
    QTemporaryDir folder;
    const testsupport::TestPki pki = testsupport::MakeTestPki(folder.path().toStdString());
    standin::ServiceOptions secureOptions = TestAccount();
    secureOptions.certFile = pki.otherHostCert;
    secureOptions.keyFile = pki.otherHostKey;
    standin::StandInService secure(secureOptions);
    secure.start();

    openWithCredentials(QByteArray::fromStdString(secure.endpoint()));
    check1()->click();
    EXPECT_EQ(translate(), kCertificate);
    EXPECT_TRUE(secure.requests().empty());
    EXPECT_TRUE(service.requests().empty());
}

// A reply within the size limit that is one word of megabytes: shown whole, without freezing the
// window (Qt's word-boundary wrapping of such a run takes minutes).
TEST_F(WindowFaults, OneHugeWordWithinTheLimitIsShownWhole) {
    openWithCredentials();
    constexpr qint64 kSize = 3'000'000;
    service.setFault(Fault::HugeReply, {}, 500, kSize);
    const QString shown = translate();
    EXPECT_EQ(shown.size(), kSize - kHugeReplyFrame);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("xxxx")));

    // The next text wraps at word boundaries again, and replaces the word as quickly.
    service.setFault(Fault::None);
    EXPECT_EQ(translate(), QStringLiteral("苹果"));
    EXPECT_EQ(text2()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// ---- Settings files that cannot be written or hold what no program writes ----

namespace {

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

// A settings file of Quorvel's with its credentials.
QByteArray StoredSettings() {
    return "[Settings]\r\nHttps=TRUE\r\n[BaiDuKeyInfo]\r\nAppID=" + kAppId.toLatin1() +
           "\r\nSecret_Key_Encode=" + modStrHexByte::EncodeSecretKey(kAppId, kKey).toLatin1() +
           "\r\n[Font]\r\nFontSize=14\r\n";
}

// Reads every value Quorvel keeps and checks it is the one StoredSettings holds.
void ExpectTheStoredSettings(const clsIniFile& ini) {
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Settings"), QStringLiteral("Https")), "TRUE");
    EXPECT_EQ(ini.GetSetting(QStringLiteral("BaiDuKeyInfo"), QStringLiteral("AppID")), kAppId);
    EXPECT_EQ(
        modStrHexByte::DecodeSecretKey(kAppId, ini.GetSetting(QStringLiteral("BaiDuKeyInfo"),
                                                              QStringLiteral("Secret_Key_Encode"))),
        kKey);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Font"), QStringLiteral("FontSize")), "14");
}

} // namespace

TEST_F(SettingsFaults, FolderThatCannotHoldTheFileRefusesWritesEvenToRoot) {
    ASSERT_TRUE(writeFileBytes(path("plain-file"), "not a folder"));
    for (const QString& file :
         {path("plain-file/quorvel.ini"), QStringLiteral("/proc/quorvel-faults.ini")}) {
        clsIniFile ini = iniAt(file);
        EXPECT_EQ(ini.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), "14"), 0)
            << file.toStdString();
        EXPECT_EQ(ini.GetSetting(QStringLiteral("Font"), QStringLiteral("FontSize")),
                  kUnknownValue);
    }
    EXPECT_EQ(readFileBytes(path("plain-file")), "not a folder");
}

TEST_F(SettingsFaults, FolderWithoutWritePermissionRefusesWrites) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the cases above stop root too";
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    ASSERT_TRUE(writeFileBytes(path("locked/quorvel.ini"), StoredSettings()));
    ASSERT_EQ(::chmod(QFile::encodeName(path("locked")).constData(), 0555), 0);
    clsIniFile ini = iniAt(path("locked/quorvel.ini"));
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), "9"), 0);
    ExpectTheStoredSettings(ini);
    ::chmod(QFile::encodeName(path("locked")).constData(), 0755);
}

namespace {

// Sets the immutable attribute, which stops root as well, and clears it again when it goes.
class ImmutableFile {
public:
    explicit ImmutableFile(const QString& path) : path_(QFile::encodeName(path)) {
        set_ = change(FS_IMMUTABLE_FL, true);
    }
    ~ImmutableFile() {
        if (set_)
            change(FS_IMMUTABLE_FL, false);
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool isSet() const { return set_; }

private:
    bool change(int flag, bool on) const {
        const int fd = ::open(path_.constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | flag) : (flags & ~flag);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QByteArray path_;
    bool set_ = false;
};

} // namespace

TEST_F(SettingsFaults, ReadOnlyFileIsReadButNotWritten) {
    const QString file = path("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, StoredSettings()));
    const ImmutableFile readOnly(file);
    if (!readOnly.isSet())
        GTEST_SKIP() << "the file system or the user cannot make a file immutable";
    clsIniFile ini = iniAt(file);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), "9"), 0);
    EXPECT_EQ(ini.SaveSetting(QStringLiteral("Other"), QStringLiteral("Key"), "1"), 0);
    ExpectTheStoredSettings(ini);
    EXPECT_EQ(readFileBytes(file), StoredSettings());
    EXPECT_EQ(entries(), QStringList{QStringLiteral("quorvel.ini")});
}

TEST_F(SettingsFaults, InvalidCodePage936BytesAndZeroBytesAreReadAndKept) {
    // A lead byte without its trail byte, a byte no character starts with, a lead byte before
    // CR LF, zero bytes in a value, a key name and a section name, and a lead byte ending the
    // file.
    const QByteArray damaged = StoredSettings() +
                               "[Damaged]\r\nNote=a\x81 b\xFF\xFF"
                               "c\x81\r\n" +
                               WithZero("Zero=1", "2\r\n") + WithZero("Ke", "y=3\r\n[Na") +
                               WithZero("", "me]\r\nKey=4\r\n\x81");
    const QString file = path("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, damaged));
    clsIniFile ini = iniAt(file);
    ExpectTheStoredSettings(ini);
    const QString note = ini.GetSetting(QStringLiteral("Damaged"), QStringLiteral("Note"));
    EXPECT_TRUE(note.startsWith(u'a') && note.contains(QStringLiteral(" b")) && note.contains(u'c'))
        << note.toStdString();
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Damaged"), QStringLiteral("Zero")),
              QStringLiteral("1") + QChar(0) + QStringLiteral("2"));

    // Changing a value rewrites only its line.
    ASSERT_EQ(ini.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), "15"), 1);
    QByteArray expected = damaged;
    expected.replace("FontSize=14", "FontSize=15");
    EXPECT_EQ(readFileBytes(file), expected);
}

TEST_F(SettingsFaults, OneMegabyteLineIsCutOnReadAndKeptWhole) {
    const QByteArray longLine = "Long=" + QByteArray(1 << 20, 'v') + "\r\n";
    const QByteArray longComment = ";" + QByteArray(1 << 20, 'c') + "\r\n";
    const QByteArray settings = "[Long]\r\n" + longLine + longComment + StoredSettings();
    const QString file = path("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, settings));
    clsIniFile ini = iniAt(file);
    ExpectTheStoredSettings(ini);
    // One read brings back what fits its buffer: 32749 bytes.
    EXPECT_EQ(ini.GetSetting(QStringLiteral("Long"), QStringLiteral("Long")), QString(32749, u'v'));

    ASSERT_EQ(ini.SaveSetting(QStringLiteral("Long"), QStringLiteral("Added"), "1"), 1);
    EXPECT_EQ(readFileBytes(file),
              "[Long]\r\n" + longLine + "Added=1\r\n" + longComment + StoredSettings());
}

TEST_F(SettingsFaults, TenThousandSectionsAreReadListedAndKept) {
    QByteArray settings;
    for (int i = 0; i < 10000; ++i)
        settings +=
            "[Section" + QByteArray::number(i) + "]\r\nKey=" + QByteArray::number(i) + "\r\n";
    settings += StoredSettings();
    const QString file = path("quorvel.ini");
    ASSERT_TRUE(writeFileBytes(file, settings));
    clsIniFile ini = iniAt(file);
    ExpectTheStoredSettings(ini);
    EXPECT_EQ(ini.GetSetting(QStringLiteral("section9999"), QStringLiteral("KEY")), "9999");

    QByteArray names(1 << 20, '\x7f');
    const std::uint32_t count = GetPrivateProfileStringA(
        nullptr, nullptr, "", names.data(), static_cast<std::uint32_t>(names.size()), file);
    const QList<QByteArray> listed = names.left(count).split('\0');
    ASSERT_EQ(listed.size(), 10003 + 1); // each name ends with a zero byte
    EXPECT_EQ(listed[9999], "Section9999");
    EXPECT_EQ(listed[10002], "Font");

    ASSERT_EQ(ini.SaveSetting(QStringLiteral("Font"), QStringLiteral("FontSize"), "15"), 1);
    settings.replace("FontSize=14", "FontSize=15");
    EXPECT_EQ(readFileBytes(file), settings);
}

// ---- The window on settings it cannot use ----

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

TEST_F(WindowSettingsFaults, DamagedFileStartsWithWhatItCanReadAndKeepsTheRest) {
    QByteArray settings;
    for (int i = 0; i < 10000; ++i)
        settings +=
            "[S" + QByteArray::number(i) + "]\r\nBad=\xFF\x81\r\n" + WithZero("Zero=a", "b\r\n");
    settings += StoredSettings();
    writeSettings(settings);
    openWindow();
    EXPECT_TRUE(check1()->isChecked());
    EXPECT_EQ(window().credentials().strSecretKey, kKey);
    EXPECT_EQ(TextBoxes::FontSize(text1()), 14);
    click("Command5");
    settings.replace("FontSize=14", "FontSize=15");
    EXPECT_EQ(settingsBytes(), settings);
}
