#pragma once

#include <QString>

class QWidget;

// Windows message-box style values: buttons, icon and default button are added together.
namespace MsgBoxStyle {
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbDefaultButton2 = 256;
constexpr int vbDefaultButton3 = 512;
} // namespace MsgBoxStyle

// Windows message-box answer codes.
namespace MsgBoxAnswer {
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;
} // namespace MsgBoxAnswer

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
