// The hexadecimal conversions and the stored secret-key encoding on arbitrary text. The input is
// read as UTF-16LE code units (lone surrogates included); the first U+0000 splits it into two
// texts A and B, used as hex texts, as App ID and stored form, and as App ID and key.

#include "FuzzCheck.h"

#include "credentials/modStrHexByte.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>

using fuzzcheck::require;
using fuzzcheck::shown;
using fuzzcheck::utf16Text;

namespace {

// Bytes for a hex text of n characters: n / 2 when n is even; for odd n the last digit makes a
// byte of its own when n mod 4 is 1 and is dropped when n mod 4 is 3.
qsizetype byteCount(qsizetype n) {
    if (n % 2 == 0)
        return n / 2;
    return n % 4 == 1 ? (n + 1) / 2 : (n - 1) / 2;
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isUpperHex(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return isHexDigit(c) && !(c >= u'a' && c <= u'f'); });
}

void checkHexToBytes(const QString& hex) {
    const QByteArray bytes = modStrHexByte::HexToBytes(hex);
    require(bytes.size() == byteCount(hex.size()), "HexToBytes gives the byte count of the rule",
            "text " + shown(hex) + " gave " + QByteArray::number(bytes.size()) + " bytes");
    // Pure hex digits read as plain hexadecimal, two per byte, a lone last digit by itself.
    if (std::all_of(hex.begin(), hex.end(), isHexDigit)) {
        const QString pairs = hex.left(2 * (hex.size() / 2));
        QString expected = pairs.toUpper();
        if (hex.size() % 4 == 1)
            expected += u'0' + hex.back().toUpper();
        require(modStrHexByte::BytesToHex(bytes) == expected, "hex digits read as their value",
                "text " + shown(hex));
    }
}

void checkXorHex(const QString& a, const QString& b) {
    const QString x = modStrHexByte::XorHex(a, b);
    const qsizetype count = std::min(byteCount(a.size()), byteCount(b.size()));
    require(x.size() == 2 * count && isUpperHex(x),
            "XorHex gives two uppercase digits per byte of the shorter array", "gave " + shown(x));
    require(modStrHexByte::XorHex(b, a) == x, "XorHex does not depend on the order");
    require(modStrHexByte::XorHex(a, a) == QString(2 * byteCount(a.size()), u'0'),
            "a hex text XOR itself is zero");
}

void checkSecretKey(const QString& appId, const QString& text) {
    const QString decoded = modStrHexByte::DecodeSecretKey(appId, text);
    require(decoded.size() == std::min<qsizetype>(32, byteCount(text.size())),
            "a decoded key has one character per stored byte, at most 32");

    // Read as a typed key: when it can be encoded, it decodes back to its first 32 characters.
    QString stored;
    try {
        stored = modStrHexByte::EncodeSecretKey(appId, text);
    } catch (const modStrHexByte::CharacterCodeOverflow&) {
        return;
    }
    const qsizetype kept = std::min<qsizetype>(32, text.size());
    require(stored.size() == 2 * kept && isUpperHex(stored),
            "the stored form has two uppercase digits per kept character", "gave " + shown(stored));
    const QString back = modStrHexByte::DecodeSecretKey(appId, stored);
    require(back == text.left(kept), "an encoded key decodes to itself",
            "key " + shown(text) + "\nback " + shown(back));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = utf16Text(data, size);
    const qsizetype zero = text.indexOf(QChar(0));
    const QString a = zero < 0 ? text : text.left(zero);
    const QString b = zero < 0 ? QString() : text.mid(zero + 1);

    checkHexToBytes(a);
    checkHexToBytes(b);
    checkXorHex(a, b);
    checkSecretKey(a, b);
    return 0;
}
