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

// Acts on the modal dialog once it is open, as a person would.
void WhenDialogOpens(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            WhenDialogOpens(act);
            return;
        }
        act(dialog);
    });
}

} // namespace

TEST(QtDialogs, YesNoCancelQuestionAnswersWindowsCodesWithChineseButtons) {
    ASSERT_TRUE(InstallChineseQtTexts());
    QtDialogs dialogs;
    const int style =
        MsgBoxStyle::vbYesNoCancel + MsgBoxStyle::vbQuestion + MsgBoxStyle::vbDefaultButton2;

    QStringList labels;
    bool noIsDefault = false;
    WhenDialogOpens([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        for (auto* button : box->buttons())
            labels << button->text();
        noIsDefault =
            box->defaultButton() == qobject_cast<QPushButton*>(box->button(QMessageBox::No));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.MsgBox("继续吗？", style, "警告："), MsgBoxAnswer::vbCancel);
    EXPECT_TRUE(noIsDefault);
    labels.sort();
    EXPECT_EQ(labels, QStringList({"取消", "否(&N)", "是(&Y)"}));

    WhenDialogOpens([](QWidget* dialog) {
        qobject_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.MsgBox("继续吗？", style, "警告："), MsgBoxAnswer::vbYes);

    WhenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
    EXPECT_EQ(dialogs.MsgBox("继续吗？", style, "警告："), MsgBoxAnswer::vbNo);
}

TEST(QtDialogs, OkOnlyBoxAnswersOkToEscape) {
    QtDialogs dialogs;
    WhenDialogOpens([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.MsgBox("说明", MsgBoxStyle::vbInformation, "使用说明："), MsgBoxAnswer::vbOK);
}

TEST(QtDialogs, InputBoxGivesTheTypedTextOrNothingOnCancel) {
    QtDialogs dialogs;
    WhenDialogOpens([](QWidget* dialog) {
        auto* field = dialog->findChild<QLineEdit*>();
        EXPECT_TRUE(field->text().isEmpty());
        QTest::keyClicks(field, " 2015 ");
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.InputBox("请输入", "第1步（共2步）："), " 2015 ");

    WhenDialogOpens([](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(), "typed");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.InputBox("请输入", "第2步（共2步）："), QString());
}
