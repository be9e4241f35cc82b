#include "app/ChineseQtTexts.h"
#include "app/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Acts on the modal dialog once it is open, as a person would. Both waits are bounded: a dialog
// that never opens, or one the action leaves open, fails the test instead of hanging it.
void WhenDialogOpens(std::function<void(QWidget*)> act, int tries = 500) {
    QTimer::singleShot(10, [act, tries] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return tries > 0 ? WhenDialogOpens(act, tries - 1) : ADD_FAILURE() << "no dialog";
        act(dialog);
        QTimer::singleShot(5000, dialog, [dialog] {
            ADD_FAILURE() << "the dialog stayed open";
            qobject_cast<QDialog*>(dialog)->reject();
        });
    });
}

QMessageBox* Box(QWidget* dialog) {
    return qobject_cast<QMessageBox*>(dialog);
}

} // namespace

TEST(QtDialogs, MessageBoxesAnswerWindowsCodesWithChineseButtons) {
    ASSERT_TRUE(app::InstallChineseQtTexts());
    app::QtDialogs dialogs;
    const int style = app::MsgBoxStyle::vbYesNoCancel + app::MsgBoxStyle::vbQuestion +
                      app::MsgBoxStyle::vbDefaultButton2;
    QStringList labels;
    WhenDialogOpens([&](QWidget* dialog) {
        for (auto* button : Box(dialog)->buttons())
            labels << button->text();
        EXPECT_EQ(Box(dialog)->icon(), QMessageBox::Question);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.MsgBox("继续吗？", style, "警告："), app::MsgBoxAnswer::vbCancel);
    labels.sort();
    EXPECT_EQ(labels, QStringList({"取消", "否(&N)", "是(&Y)"}));

    WhenDialogOpens([](QWidget* dialog) { Box(dialog)->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(dialogs.MsgBox("继续吗？", style, "警告："), app::MsgBoxAnswer::vbYes);
    // Return presses the second button, the default.
    WhenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
    EXPECT_EQ(dialogs.MsgBox("继续吗？", style, "警告："), app::MsgBoxAnswer::vbNo);
    // Without a Cancel button, Esc gives OK.
    WhenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.MsgBox("说明", app::MsgBoxStyle::vbInformation, "使用说明："),
              app::MsgBoxAnswer::vbOK);
}

TEST(QtDialogs, InputBoxGivesTheTypedTextOrNothingOnCancel) {
    ASSERT_TRUE(app::InstallChineseQtTexts());
    app::QtDialogs dialogs;
    QStringList labels;
    WhenDialogOpens([&](QWidget* dialog) {
        for (auto* button : dialog->findChildren<QPushButton*>())
            labels << button->text();
        auto* field = dialog->findChild<QLineEdit*>();
        EXPECT_TRUE(field->text().isEmpty());
        QTest::keyClicks(field, " 2015 ");
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.InputBox("请输入", "第1步（共2步）："), " 2015 ");
    labels.sort();
    EXPECT_EQ(labels, QStringList({"取消", "确定"}));

    WhenDialogOpens([](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(), "typed");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.InputBox("请输入", "第2步（共2步）："), QString());
}
