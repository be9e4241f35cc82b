#include "encoding/clsGBtoUTF8.h"
#include "platform/Utf8Conversion.h"

#include <gtest/gtest.h>

using clsGBtoUTF8::UTF8Encode;

namespace {
QString Unit(char16_t unit) {
    return QString(QChar(unit));
}
} // namespace

TEST(UTF8Encode, AsciiIsCopiedUnchanged) {
    EXPECT_EQ(UTF8Encode(QString()), QString());
    EXPECT_EQ(UTF8Encode(QStringLiteral("a b")), QStringLiteral("a b"));
    const QString controlsAndPunctuation = QStringLiteral("100% &=+?\r\n\t\x01") + Unit(0x7F);
    EXPECT_EQ(UTF8Encode(controlsAndPunctuation), controlsAndPunctuation);
}

TEST(UTF8Encode, WritesEachByteAsUppercaseEscape) {
    EXPECT_EQ(UTF8Encode(Unit(0x00E9)), QStringLiteral("%C3%A9"));
    EXPECT_EQ(UTF8Encode(Unit(0x0E01)), QStringLiteral("%E0%B8%81"));
    EXPECT_EQ(UTF8Encode(Unit(0x4E2D)), QStringLiteral("%E4%B8%AD"));
    EXPECT_EQ(UTF8Encode(Unit(0x9FA5)), QStringLiteral("%E9%BE%A5"));
    EXPECT_EQ(UTF8Encode(QStringLiteral("a中b")), QStringLiteral("a%E4%B8%ADb"));
}

TEST(UTF8Encode, RangeBorders) {
    EXPECT_EQ(UTF8Encode(Unit(0x007F)), Unit(0x007F));
    EXPECT_EQ(UTF8Encode(Unit(0x0080)), QStringLiteral("%C2%80"));
    EXPECT_EQ(UTF8Encode(Unit(0x07FF)), QStringLiteral("%DF%BF"));
    EXPECT_EQ(UTF8Encode(Unit(0x0800)), QStringLiteral("%E0%A0%80"));
    EXPECT_EQ(UTF8Encode(Unit(0xFFFF)), QStringLiteral("%EF%BF%BF"));
}

TEST(UTF8Encode, SurrogatePairIsOneFourByteSequence) {
    EXPECT_EQ(UTF8Encode(QString::fromUtf8("\U0001F600")), QStringLiteral("%F0%9F%98%80"));
    EXPECT_EQ(UTF8Encode(QString::fromUtf8("x\U00010000\U0010FFFFy")),
              QStringLiteral("x%F0%90%80%80%F4%8F%BF%BFy"));
}

TEST(UTF8Encode, LoneSurrogateBecomesReplacementCharacter) {
    const QString replacement = QStringLiteral("%EF%BF%BD");
    EXPECT_EQ(UTF8Encode(Unit(0xD83D)), replacement);
    EXPECT_EQ(UTF8Encode(Unit(0xDE00)), replacement);
    // Low before high is not a pair: two replacements.
    EXPECT_EQ(UTF8Encode(Unit(0xDE00) + Unit(0xD83D)), replacement + replacement);
    EXPECT_EQ(UTF8Encode(Unit(0xD83D) + QStringLiteral("a")), replacement + QStringLiteral("a"));
}

TEST(WideToUtf8, MatchesTheBytesUTF8EncodeEscapes) {
    const QString text =
        QStringLiteral("a") + Unit(0xD83D) + QString::fromUtf8("中\U0001F600") + Unit(0xDE00);
    EXPECT_EQ(platform::WideToUtf8(text),
              QByteArray("a\xEF\xBF\xBD\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD"));
    EXPECT_EQ(QByteArray::fromPercentEncoding(UTF8Encode(text).toLatin1()),
              platform::WideToUtf8(text));
}
