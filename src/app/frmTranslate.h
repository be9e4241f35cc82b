#pragma once

#include "app/ResizeRule.h"
#include "credentials/Credentials.h"
#include "settings/QuorvelSettings.h"

#include <QWidget>

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

    app::Dialogs& dialogs_;
    const settings::QuorvelSettings settings_;
    modStrHexByte::Credentials credentials_;
    app::LayoutBaseline baseline_;
    bool baselineRecorded_ = false;

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
