#include "encoding/clsGBtoUTF8.h"

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
             {"a中b", "a%E4%B8%ADb"},
             {"\U0001F600", "%F0%9F%98%80"},
             {high, replacement},
             {low, replacement},
             {low + high, replacement + replacement}, // low before high is no pair
             {high + "a", replacement + "a"},
             {"\U0001F600" + low, "%F0%9F%98%80" + replacement}, // a pair beside a lone one
         })
        EXPECT_EQ(UTF8Encode(text), encoded) << encoded.toStdString();
}
