#include "encoding/clsGBtoUTF8.h"

#include "platform/Utf8Conversion.h"

namespace clsGBtoUTF8 {

QString UTF8Encode(const QString& text) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const QByteArray bytes = platform::WideToUtf8(text);
    QString encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            encoded += QLatin1Char(ch);
        } else {
            encoded += QLatin1Char('%');
            encoded += QLatin1Char(kHexDigits[byte >> 4]);
            encoded += QLatin1Char(kHexDigits[byte & 0x0F]);
        }
    }
    return encoded;
}

} // namespace clsGBtoUTF8
