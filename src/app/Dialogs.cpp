#include "app/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace app {

namespace {

using Button = std::pair<QMessageBox::StandardButton, int>;

std::vector<Button> ButtonsOf(int style) {
    using enum MsgBoxAnswer;
    switch (style & 0x0F) {
    case MsgBoxStyle::vbOKCancel:
        return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case MsgBoxStyle::vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort},
                {QMessageBox::Retry, vbRetry},
                {QMessageBox::Ignore, vbIgnore}};
    case MsgBoxStyle::vbYesNoCancel:
        return {
            {QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case MsgBoxStyle::vbYesNo:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case MsgBoxStyle::vbRetryCancel:
        return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default:
        return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon IconOf(int style) {
    switch (style & 0xF0) {
    case MsgBoxStyle::vbCritical:
        return QMessageBox::Critical;
    case MsgBoxStyle::vbQuestion:
        return QMessageBox::Question;
    case MsgBoxStyle::vbExclamation:
        return QMessageBox::Warning;
    case MsgBoxStyle::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int QtDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(IconOf(style), title, prompt, QMessageBox::NoButton, parent_);
    const std::vector<Button> buttons = ButtonsOf(style);
    std::vector<QAbstractButton*> added;
    QAbstractButton* cancel = nullptr;
    for (const auto& [standard, answer] : buttons) {
        added.push_back(box.addButton(standard));
        if (answer == MsgBoxAnswer::vbCancel)
            cancel = added.back();
    }
    const auto defaultIndex = static_cast<std::size_t>((style & 0xF00) >> 8);
    if (defaultIndex < added.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(added[defaultIndex]));
    // Esc and the close button answer Cancel when there is one, OK on a box with only OK.
    if (cancel)
        box.setEscapeButton(cancel);
    else if (added.size() == 1)
        box.setEscapeButton(added.front());

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (added[i] == clicked)
            return buttons[i].second;
    return cancel ? MsgBoxAnswer::vbCancel : buttons.front().second;
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

} // namespace app
