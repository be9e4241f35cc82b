#include "encoding/modURLEnc.h"

#include <gtest/gtest.h>

using modURLEnc::URLEncode;

TEST(URLEncode, Examples) {
    EXPECT_EQ(URLEncode(QString()), QString());
    EXPECT_EQ(URLEncode(QStringLiteral("a b&c")), QStringLiteral("a+b%26c"));
    EXPECT_EQ(URLEncode(QStringLiteral("100%")), QStringLiteral("100%"));
    EXPECT_EQ(URLEncode(QStringLiteral("x=1?y")), QStringLiteral("x%3D1?y"));
    EXPECT_EQ(URLEncode(QStringLiteral("%E4%B8%AD")), QStringLiteral("%E4%B8%AD"));
    EXPECT_EQ(URLEncode(QStringLiteral("  ")), QStringLiteral("++"));
}

TEST(URLEncode, EscapesExactlyTheTwentySevenPunctuationCharacters) {
    EXPECT_EQ(URLEncode(QStringLiteral("!\"#$&'()*+,/:;<=>@[\\]^`{|}~")),
              QStringLiteral("%21%22%23%24%26%27%28%29%2A%2B%2C%2F%3A%3B%3C%3D%3E%40%5B%5C%5D%5E%60"
                             "%7B%7C%7D%7E"));
    // Every other ASCII character passes: letters and digits keep their case, and so do
    // % - . ? _ and all control characters.
    QString passing;
    for (char16_t c = 0; c < 0x80; ++c) {
        const QChar ch(c);
        if (ch != QLatin1Char(' ') && !QStringLiteral("!\"#$&'()*+,/:;<=>@[\\]^`{|}~").contains(ch))
            passing += ch;
    }
    EXPECT_EQ(passing.size(), 128 - 28);
    EXPECT_EQ(URLEncode(passing), passing);
}

TEST(URLEncode, LineBreaksAndDotsPassTildeDoesNot) {
    EXPECT_EQ(URLEncode(QStringLiteral("a\r\nb-c.d_e?f~")), QStringLiteral("a\r\nb-c.d_e?f%7E"));
}
