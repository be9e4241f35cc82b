// Faults from the service, the network and the file system. Every case must end with a clear
// result, in the client or in the window, and lose nothing that was stored.

#include "client/modQuorvel.h"
#include "credentials/modStrHexByte.h"
#include "standin/StandInService.h"
#include "support/TestPki.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using modQuorvel::ConnectionOptions;
using modQuorvel::TranslateFailure;
using standin::Fault;

namespace {

const QString kAppId = QStringLiteral("20260101000000001");
const QString kKey = QStringLiteral("QuorvelTestKey01");
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
    QElapsedTimer clock;
    clock.start();
    const QString shown = translate();
    EXPECT_EQ(shown.size(), kSize - kHugeReplyFrame);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("xxxx")));

    // The next text wraps at word boundaries again, and replaces the word as quickly.
    service.setFault(Fault::None);
    EXPECT_EQ(translate(), QStringLiteral("苹果"));
    EXPECT_EQ(text2()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_LT(clock.elapsed(), 60'000) << "the window froze";
}
