#include "platform/AnsiCodePage.h"

#include "support/QtPrinters.h"

TEST(AnsiCodePage, AsciiIsOneByteACharacterChineseTwoAndTheRestAQuestionMark) {
    ASSERT_TRUE(platform::AnsiCodePageAvailable());
    bool lossy = true;
    EXPECT_EQ(platform::WideToAnsi(QStringLiteral("Https=TRUE"), &lossy), "Https=TRUE");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(platform::WideToAnsi(QStringLiteral("中文")), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(platform::AnsiToWide("\xD6\xD0\xCE\xC4"), QStringLiteral("中文"));
    // 0x80 is the euro sign in the Windows variant of the code page.
    EXPECT_EQ(platform::AnsiToWide("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(platform::WideToAnsi(QString::fromUtf8("a\U0001F600b"), &lossy), "a?b");
    EXPECT_TRUE(lossy);
}
