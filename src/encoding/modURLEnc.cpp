#include "encoding/modURLEnc.h"

namespace modURLEnc {

namespace {
// The space is in the set as well but is caught first and becomes "+".
constexpr QStringView kEscaped = u"!\"#$&'()*+,/:;<=> @[\\]^`{|}~";
} // namespace

QString URLEncode(const QString& text) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    QString encoded;
    encoded.reserve(text.size() * 3);
    for (const QChar ch : text) {
        if (ch == QLatin1Char(' ')) {
            encoded += QLatin1Char('+');
        } else if (kEscaped.contains(ch)) {
            encoded += QLatin1Char('%');
            encoded += QLatin1Char(kHexDigits[ch.unicode() >> 4]);
            encoded += QLatin1Char(kHexDigits[ch.unicode() & 0x0F]);
        } else {
            encoded += ch;
        }
    }
    return encoded;
}

} // namespace modURLEnc
