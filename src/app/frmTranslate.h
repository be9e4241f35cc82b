#pragma once

#include "app/ResizeRule.h"
#include "app/WindowRequest.h"
#include "credentials/Credentials.h"
#include "frontend/Translation.h"
#include "settings/QuorvelSettings.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace app {
class Dialogs;
}
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Quorvel's one window: the source and result boxes, the two language codes, the HTTPS choice
// and the six command buttons. It holds the handlers, the credentials in use and the layout
// baseline; the work itself is done by the modules the handlers call.
class frmTranslate : public QWidget {
    Q_OBJECT

public:
    // Every handler that uses the settings file opens it afresh at `settingsFilePath`.
    frmTranslate(app::Dialogs& dialogs, const QString& settingsFilePath);

    // Records the layout baseline, shows the window and brings in the stored settings.
    void Form_Load();

    const modStrHexByte::Credentials& credentials() const { return credentials_; }

    // A text given at start or handed over by a later start: the window comes to the front,
    // and the text is put in Text1 and translated as by a click on 开始翻译, once a translation
    // under way or an open dialog has ended.
    void TranslateGiven(const QString& text);
    // A later start without text: the window comes to the front.
    void BringToFront();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box ends the program like 退出.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Resize();
    void Command1_Click(); // 开始翻译
    void Command2_Click(); // 退出
    void Command3_Click(); // 设置
    void Command4_Click(); // -
    void Command5_Click(); // +
    void Command6_Click(); // 帮助
    void Check1_Click();   // HTTPS
    void StepFontSize(double step);
    void StartRequest(const app::WindowRequest& request);
    void Request_Done();
    // While a request is under way, the commands other than 退出 and the text boxes wait.
    void HoldInput(bool hold);
    void TakeGivenText();

    app::Dialogs& dialogs_;
    const settings::QuorvelSettings settings_;
    modStrHexByte::Credentials credentials_;
    app::LayoutBaseline baseline_;
    bool baselineRecorded_ = false;
    QFutureWatcher<frontend::TranslationResult> request_;
    // Kept between translations: a second one costs the request's round trip alone.
    const std::shared_ptr<platform::HttpConnection> connection_ =
        std::make_shared<platform::HttpConnection>();
    bool translating_ = false;
    QPointer<QWidget> focusBeforeRequest_;
    std::optional<QString> given_;
    QTimer givenWaits_; // looks again whether the dialog in the given text's way has closed

    QPlainTextEdit* Text1;
    QPushButton* Command1;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QPushButton* Command3;
    QPushButton* Command6;
    QPushButton* Command4;
    QPushButton* Command5;
    QPlainTextEdit* Text2;
    QPushButton* Command2;
    QLabel* Label1;
    QLabel* Label2;
    QCheckBox* Check1;
};
