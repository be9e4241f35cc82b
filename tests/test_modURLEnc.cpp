#include "encoding/modURLEnc.h"

#include "support/QtPrinters.h"

using modURLEnc::URLEncode;

TEST(URLEncode, EscapesExactlyTheTwentySevenPunctuationCharactersAndTheBlank) {
    const QString escaped = QStringLiteral("!\"#$&'()*+,/:;<=>@[\\]^`{|}~");
    for (const auto& [text, encoded] : std::initializer_list<std::pair<QString, QString>>{
             {"", ""},
             {"a b&c", "a+b%26c"},
             {"  ", "++"},
             {"中%E4", "中%E4"}, // only ASCII is looked up
             {escaped, "%21%22%23%24%26%27%28%29%2A%2B%2C%2F%3A%3B%3C%3D%3E%40%5B%5C%5D%5E%60"
                       "%7B%7C%7D%7E"},
         })
        EXPECT_EQ(URLEncode(text), encoded);

    // Every other ASCII character passes: letters and digits keep their case, and so do
    // % - . ? _ and all control characters.
    QString passing;
    for (char16_t c = 0; c < 0x80; ++c)
        if (c != u' ' && !escaped.contains(QChar(c)))
            passing += QChar(c);
    EXPECT_EQ(passing.size(), 128 - 28);
    EXPECT_EQ(URLEncode(passing), passing);
}
