#include "platform/AnsiCodePage.h"

#include <gtest/gtest.h>

TEST(AnsiCodePage, ConverterIsPresent) { ASSERT_TRUE(platform::AnsiCodePageAvailable()); }

TEST(AnsiCodePage, AsciiIsOneByteACharacterAndChineseTwo) {
    EXPECT_EQ(platform::WideToAnsi(QStringLiteral("Https=TRUE")), QByteArray("Https=TRUE"));
    EXPECT_EQ(platform::WideToAnsi(QStringLiteral("中文")), QByteArray("\xD6\xD0\xCE\xC4"));
    EXPECT_EQ(platform::AnsiToWide(QByteArray("\xD6\xD0\xCE\xC4")), QStringLiteral("中文"));
    // 0x80 is the euro sign in the Windows variant of the code page.
    EXPECT_EQ(platform::AnsiToWide(QByteArray("\x80")), QString(QChar(0x20AC)));
}

TEST(AnsiCodePage, UnrepresentableCharacterBecomesQuestionMark) {
    bool lossy = false;
    EXPECT_EQ(platform::WideToAnsi(QString::fromUtf8("a\U0001F600b"), &lossy), QByteArray("a?b"));
    EXPECT_TRUE(lossy);
    platform::WideToAnsi(QStringLiteral("abc"), &lossy);
    EXPECT_FALSE(lossy);
}
