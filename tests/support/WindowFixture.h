#pragma once

#include "app/Dialogs.h"
#include "app/frmTranslate.h"
#include "credentials/modStrHexByte.h"
#include "settings/clsIniFile.h"
#include "standin/StandInService.h"
#include "support/FileBytes.h"
#include "support/QtPrinters.h"
#include "support/TestService.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// Answers the window's dialogs in a person's place, from a script, and keeps what was shown.
class ScriptedDialogs final : public app::Dialogs {
public:
    struct Shown {
        QString prompt;
        int style; // -1 for an input box
        QString title;
    };

    void answerMessages(std::initializer_list<int> answers) { messages_.append(answers); }
    void answerInputs(std::initializer_list<QString> answers) { inputs_.append(answers); }

    // Once the script has run out, OK and an empty entry.
    int MsgBox(const QString& prompt, int style, const QString& title) override {
        shown.push_back({prompt, style, title});
        return messages_.isEmpty() ? int{app::vbOK} : messages_.takeFirst();
    }
    QString InputBox(const QString& prompt, const QString& title) override {
        shown.push_back({prompt, -1, title});
        return inputs_.isEmpty() ? QString() : inputs_.takeFirst();
    }

    std::vector<Shown> shown;

private:
    QList<int> messages_;
    QStringList inputs_;
};

// A window on a settings file of its own in a temporary folder, with a person's answers scripted.
class WindowFixture : public ::testing::Test {
protected:
    QString iniPath() const { return dir_.filePath(QStringLiteral("quorvel.ini")); }

    void writeSettings(const QByteArray& bytes) {
        ASSERT_TRUE(testsupport::writeFileBytes(iniPath(), bytes));
    }
    QByteArray settingsBytes() const { return testsupport::readFileBytes(iniPath()); }
    QString setting(const QString& section, const QString& key) const {
        clsIniFile ini;
        ini.File(iniPath());
        return ini.GetSetting(section, key);
    }
    // The [BaiDuKeyInfo] section as the window stores it. The stored keys were worked out with
    // md5sum: each key byte XOR the same byte of the MD5 digest of the App ID.
    static QByteArray credentialSettings(const QString& appId = testsupport::kAppId,
                                         const QString& key = testsupport::kKey) {
        EXPECT_EQ(appId, testsupport::kAppId);
        const QByteArray stored = key == testsupport::kKey ? "94DFCB2D49B47122CA851B7353700857"
                                  : key == "WrongKey"      ? "92D8CB31589A780F"
                                                           : "?";
        EXPECT_NE(stored, "?") << "no stored form for " << key.toStdString();
        return "[BaiDuKeyInfo]\r\nAppID=" + appId.toLatin1() + "\r\nSecret_Key_Encode=" + stored +
               "\r\n";
    }

    frmTranslate& openWindow() {
        window_ = std::make_unique<frmTranslate>(dialogs, iniPath());
        window_->Form_Load();
        return *window_;
    }
    frmTranslate& window() { return *window_; }

    template <typename Control> Control* control(const char* name) {
        return window_->findChild<Control*>(QString::fromLatin1(name));
    }
    QPlainTextEdit* text1() { return control<QPlainTextEdit>("Text1"); }
    QPlainTextEdit* text2() { return control<QPlainTextEdit>("Text2"); }
    QComboBox* combo(const char* name) { return control<QComboBox>(name); }
    QCheckBox* check1() { return control<QCheckBox>("Check1"); }
    void click(const char* button) { control<QPushButton>(button)->click(); }
    // Waits, a minute at most, until a translation under way has ended: 开始翻译 is back.
    bool translationEnded() {
        return QTest::qWaitFor([&] { return control<QPushButton>("Command1")->isEnabled(); },
                               60'000);
    }

    // Gives `name` the keyboard focus in the active window; press() and type() go to the control
    // that has the focus, as a person's keys do.
    void focus(const char* name) {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        control<QWidget>(name)->setFocus();
    }
    static QString focused() { return QApplication::focusWidget()->objectName(); }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void type(const char* keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }

    ScriptedDialogs dialogs;

private:
    QTemporaryDir dir_;
    std::unique_ptr<frmTranslate> window_;
};

// The settings file sends plain HTTP to `service` and HTTPS to `secureService`, two local
// stand-ins that know the test account.
class ServiceWindowFixture : public WindowFixture {
protected:
    void SetUp() override {
        service.start();
        secureService.start();
        writeSettings(serviceSettings());
    }
    QByteArray serviceSettings() const {
        return QByteArray("[Service]\r\nHttpEndpoint=") + service.endpoint().c_str() +
               "\r\nHttpsEndpoint=" + secureService.endpoint().c_str() + "\r\n";
    }
    void openWithCredentials() {
        writeSettings(serviceSettings() + credentialSettings());
        openWindow();
    }
    // Clicks 开始翻译 on `source`, waits for the result and lets the window lay out and paint
    // what it shows.
    QString translate(const QString& source) {
        text1()->setPlainText(source);
        click("Command1");
        EXPECT_TRUE(translationEnded());
        QApplication::processEvents();
        return text2()->toPlainText();
    }

    standin::StandInService service{testsupport::TestAccount()};
    standin::StandInService secureService{testsupport::TestAccount()};
};
