#include "credentials/modStrHexByte.h"
#include "standin/StandInService.h"
#include "support/FormField.h"
#include "support/WindowFixture.h"

#include <QKeyEvent>
#include <QTest>

namespace {

const QString kAppId = QStringLiteral("20260101000000001");
const QString kKey = QStringLiteral("QuorvelTestKey01");
const QString kBusyText = QStringLiteral("正在执行，请稍候……");

using testsupport::FormField;

// A window whose settings point it at local stand-ins of the service: `service` for plain HTTP
// and `secureService` in place of the HTTPS endpoint.
class Commands : public WindowFixture {
protected:
    void SetUp() override {
        service.start();
        secureService.start();
    }

    QByteArray serviceSection() const {
        return QByteArray("[Service]\r\nHttpEndpoint=") + service.endpoint().c_str() +
               "\r\nHttpsEndpoint=" + secureService.endpoint().c_str() + "\r\n";
    }
    void openWithCredentials(const QString& appId = kAppId, const QString& key = kKey) {
        writeSettings(serviceSection() + "[BaiDuKeyInfo]\r\nAppID=" + appId.toLatin1() +
                      "\r\nSecret_Key_Encode=" +
                      modStrHexByte::EncodeSecretKey(appId, key).toLatin1() + "\r\n");
        openWindow();
    }
    QString translate(const QString& source) {
        text1()->setPlainText(source);
        click("Command1");
        return text2()->toPlainText();
    }

    static standin::ServiceOptions TestAccount() {
        standin::ServiceOptions options;
        options.accounts = {{kAppId.toStdString(), kKey.toStdString()}};
        return options;
    }

    standin::StandInService service{TestAccount()};
    standin::StandInService secureService{TestAccount()};
};

} // namespace

using Translate = Commands;

TEST_F(Translate, AMultiLineTextComesBackOneParagraphPerLine) {
    openWithCredentials();
    EXPECT_EQ(translate("hello\nworld"), QStringLiteral("你好\n世界"));
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(FormField(service.requests()[0].body, "q"), "hello\r\nworld");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Translate, LongTextsAreQuestionedFromSixThousandCodeUnits) {
    openWithCredentials();
    translate(QString(5999, u'a'));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(service.requests().size(), 1u);

    for (int answer : {MsgBoxAnswer::vbNo, MsgBoxAnswer::vbCancel}) {
        text2()->setPlainText("earlier result");
        dialogs.answerMessages({answer});
        EXPECT_EQ(translate(QString(6000, u'a')), "earlier result");
        EXPECT_EQ(service.requests().size(), 1u);
    }
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].style, 291);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("警告："));

    dialogs.answerMessages({MsgBoxAnswer::vbYes});
    translate(QString(6000, u'a'));
    EXPECT_EQ(service.requests().size(), 2u);
    // Characters are counted, not bytes: 2500 Chinese characters pass without a question.
    translate(QString(2500, QChar(0x4E2D)));
    EXPECT_EQ(dialogs.shown.size(), 3u);
}

TEST_F(Translate, WithoutCredentialsItRefusesAndSendsNothing) {
    openWindow();
    EXPECT_EQ(translate("hello"), QStringLiteral("译文"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].style, 16);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("程序终止！"));
    EXPECT_TRUE(
        dialogs.shown[0].prompt.endsWith(QStringLiteral("网址：http://api.fanyi.baidu.com/")));
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(Translate, LanguageCodesAreTrimmedAndLowerCased) {
    openWithCredentials();
    combo("Combo2")->setEditText(" EN ");
    translate(QStringLiteral("你好"));
    ASSERT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(FormField(service.requests()[0].body, "from"), "auto");
    EXPECT_EQ(FormField(service.requests()[0].body, "to"), "en");
    EXPECT_EQ(text2()->toPlainText(), "hello");
}

TEST_F(Translate, TickedHttpsUsesTheHttpsEndpoint) {
    openWithCredentials();
    check1()->click();
    EXPECT_EQ(translate("apple"), QStringLiteral("苹果"));
    EXPECT_TRUE(service.requests().empty());
    EXPECT_EQ(secureService.requests().size(), 1u);
}

TEST_F(Translate, TheServicesErrorLineIsShown) {
    openWithCredentials(kAppId, QStringLiteral("WrongKey"));
    EXPECT_EQ(translate("apple"), QStringLiteral("错误代码:54001,说明:Invalid Sign"));
}

TEST_F(Translate, ATransportFailureReplacesTheBusyTextWithoutAMessageBox) {
    openWithCredentials();
    service.stop();
    const QString shown = translate("apple");
    EXPECT_TRUE(shown.startsWith(QStringLiteral("请求失败"))) << shown.toStdString();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Translate, CtrlReturnTranslatesAndReturnBreaksTheLine) {
    openWithCredentials();
    text1()->setPlainText("apple");
    text1()->moveCursor(QTextCursor::End);
    QTest::keyClick(text1(), Qt::Key_Return);
    EXPECT_EQ(text1()->toPlainText(), "apple\n");
    EXPECT_TRUE(service.requests().empty());
    QTest::keyClick(text1(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(text2()->toPlainText(), QStringLiteral("苹果\n"));
}

using CredentialSetup = Commands;

TEST_F(CredentialSetup, AsksBothStepsInOrderAndStoresTrimmedValues) {
    openWindow();
    dialogs.answerInputs({"  " + kAppId + " ", " " + kKey + "  "});
    click("Command3");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("第1步（共2步）："));
    EXPECT_EQ(dialogs.shown[0].prompt, QStringLiteral("请输入百度翻译APP ID（API_KEY）："));
    EXPECT_EQ(dialogs.shown[1].title, QStringLiteral("第2步（共2步）："));
    EXPECT_EQ(window().credentials().strAppID, kAppId);
    EXPECT_EQ(window().credentials().strSecretKey, kKey);
    EXPECT_EQ(setting("BaiDuKeyInfo", "AppID"), kAppId);
    const QString stored = setting("BaiDuKeyInfo", "Secret_Key_Encode");
    EXPECT_EQ(stored.size(), 2 * kKey.size());
    EXPECT_FALSE(stored.contains(kKey));
}

TEST_F(CredentialSetup, AnEmptyEntryChangesNothing) {
    openWindow();
    for (auto answers : {std::pair<QString, QString>{"", ""}, {"  ", kKey}, {kAppId, ""}}) {
        dialogs.answerInputs({answers.first, answers.second});
        click("Command3");
    }
    EXPECT_EQ(dialogs.shown.size(), 6u); // both boxes every time, even after an empty first one
    EXPECT_FALSE(QFile::exists(iniPath()));
    EXPECT_TRUE(window().credentials().strAppID.isEmpty());
}

TEST_F(CredentialSetup, KeysThatCannotBeStoredFaithfullyAreRefused) {
    openWithCredentials();
    const QByteArray before = settingsBytes();
    for (const QString& key : {QString(33, u'k'), QStringLiteral("密钥abc")}) {
        dialogs.shown.clear();
        dialogs.answerInputs({"another", key});
        click("Command3");
        ASSERT_EQ(dialogs.shown.size(), 3u);
        EXPECT_EQ(dialogs.shown[2].style, 48);
        EXPECT_EQ(settingsBytes(), before);
        EXPECT_EQ(window().credentials().strAppID, kAppId);
        EXPECT_EQ(window().credentials().strSecretKey, kKey);
    }
}

TEST_F(CredentialSetup, EnteredCredentialsTranslateNowAndAfterARestart) {
    writeSettings(serviceSection());
    openWindow();
    dialogs.answerInputs({kAppId, kKey});
    click("Command3");
    EXPECT_EQ(translate("hello"), QStringLiteral("你好"));

    openWindow();
    EXPECT_EQ(window().credentials().strSecretKey, kKey);
    EXPECT_EQ(translate("world"), QStringLiteral("世界"));
    EXPECT_EQ(service.requests().size(), 2u);
}
