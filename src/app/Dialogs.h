#pragma once

#include <QString>

class QWidget;

namespace app {

// Windows message-box style values: buttons, icon and default button are added together.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// Windows message-box answer codes.
enum MsgBoxAnswer : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

// The two modal dialogs the window asks a person through. The program shows real Qt dialogs
// (QtDialogs); tests answer in a person's place through the same interface.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows `prompt` with the buttons and icon of `style`; returns the answer code of the button
    // pressed. Esc and the close button give Cancel where the box has one.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    // Asks for one line of text in an empty field; Cancel gives the empty text.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;
};

class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title) override;

private:
    QWidget* parent_;
};

} // namespace app
