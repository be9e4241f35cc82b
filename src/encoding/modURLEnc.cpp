#include "encoding/modURLEnc.h"

#include <array>
#include <string_view>

namespace modURLEnc {

namespace {

// The space is in the set as well but is caught first and becomes "+".
constexpr std::u16string_view kEscaped = u"!\"#$&'()*+,/:;<=> @[\\]^`{|}~";

// The set as a table over ASCII, so each character costs one look-up.
constexpr std::array<bool, 128> MakeEscapeTable() {
    std::array<bool, 128> table{};
    for (const char16_t ch : kEscaped)
        table[ch] = true;
    return table;
}
constexpr std::array<bool, 128> kEscapeTable = MakeEscapeTable();

} // namespace

QString URLEncode(const QString& text) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    QString encoded;
    encoded.reserve(text.size() * 3);
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit == u' ') {
            encoded += QLatin1Char('+');
        } else if (unit < kEscapeTable.size() && kEscapeTable[unit]) {
            encoded += QLatin1Char('%');
            encoded += QLatin1Char(kHexDigits[unit >> 4]);
            encoded += QLatin1Char(kHexDigits[unit & 0x0F]);
        } else {
            encoded += ch;
        }
    }
    return encoded;
}

} // namespace modURLEnc
