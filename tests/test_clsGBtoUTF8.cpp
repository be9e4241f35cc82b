#include "encoding/clsGBtoUTF8.h"
#include "platform/Utf8Conversion.h"

#include "support/QtPrinters.h"

using clsGBtoUTF8::UTF8Encode;

// ASCII is copied; every UTF-8 byte of anything else is escaped in upper case. A surrogate pair is
// one four-byte sequence and a lone surrogate U+FFFD, the bytes the sign covers.
TEST(UTF8Encode, CopiesAsciiAndEscapesEveryUtf8ByteOfTheRest) {
    const QString high(QChar(0xD83D)), low(QChar(0xDE00)), replacement("%EF%BF%BD");
    const QString ascii = QStringLiteral("a b 100% &=+?\r\n\t\x01\x7F");
    for (const auto& [text, encoded] : std::initializer_list<std::pair<QString, QString>>{
             {"", ""},
             {ascii, ascii},
             {"\u00E9", "%C3%A9"},
             {"\u0E01", "%E0%B8%81"},
             {"a中b", "a%E4%B8%ADb"},
             {"\u0080", "%C2%80"},
             {"\u07FF", "%DF%BF"},
             {"\u0800", "%E0%A0%80"},
             {QStringLiteral("\uFFFF"), "%EF%BF%BF"},
             {"\U0001F600", "%F0%9F%98%80"},
             {"x\U00010000\U0010FFFFy", "x%F0%90%80%80%F4%8F%BF%BFy"},
             {high, replacement},
             {low, replacement},
             {low + high, replacement + replacement}, // low before high is no pair
             {high + "a", replacement + "a"},
         })
        EXPECT_EQ(UTF8Encode(text), encoded) << encoded.toStdString();
}

TEST(WideToUtf8, MatchesTheBytesUTF8EncodeEscapes) {
    const QString text = "a" + QString(QChar(0xD83D)) + "中\U0001F600" + QString(QChar(0xDE00));
    EXPECT_EQ(platform::WideToUtf8(text),
              QByteArray("a\xEF\xBF\xBD\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBD"));
    EXPECT_EQ(QByteArray::fromPercentEncoding(UTF8Encode(text).toLatin1()),
              platform::WideToUtf8(text));
}
