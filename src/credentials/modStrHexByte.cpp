#include "credentials/modStrHexByte.h"

#include "digest/clsWinMd5.h"
#include "platform/AnsiCodePage.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace modStrHexByte {

namespace {

constexpr qsizetype kDigestDigits = 32;

std::string Describe(const QString& character, qsizetype position) {
    const char32_t code = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                : character[0].unicode();
    return QStringLiteral("character '%1' (U+%2) at position %3 has no single-byte code in "
                          "code page 936")
        .arg(character)
        .arg(QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, u'0'))
        .arg(position)
        .toStdString();
}

// The character's single byte, or nothing when the code page has none that gives it back.
std::optional<char> SingleByteCode(const QString& character) {
    bool lossy = false;
    const QByteArray bytes = platform::WideToAnsi(character, &lossy);
    if (lossy || bytes.size() != 1)
        return std::nullopt;
    return bytes[0];
}

int HexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The byte count rule of the stored format: n / 2 - 1 rounded half to even, plus one.
qsizetype HexByteCount(qsizetype digits) {
    return static_cast<qsizetype>(std::nearbyint(static_cast<double>(digits) / 2.0 - 1.0)) + 1;
}

} // namespace

CharacterCodeOverflow::CharacterCodeOverflow(const QString& character, qsizetype position)
    : std::overflow_error(Describe(character, position)), character_(character),
      position_(position) {}

QByteArray StrToBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character, and it has no single-byte code.
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, units);
        const std::optional<char> code = SingleByteCode(character);
        if (!code)
            throw CharacterCodeOverflow(character, i);
        bytes.append(*code);
        i += units;
    }
    return bytes;
}

QString BytesToStr(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        const QString character = platform::AnsiToWide(QByteArray(1, byte));
        text += character.size() == 1 ? character[0] : QChar(QChar::ReplacementCharacter);
    }
    return text;
}

QString BytesToHex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray HexToBytes(const QString& hex) {
    const qsizetype count = HexByteCount(hex.size());
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        int value = 0;
        for (QChar c : hex.mid(2 * i, 2)) {
            if (c == u' ' || c == u'\t' || c == u'\n')
                continue;
            const int digit = HexDigitValue(c);
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        bytes[i] = static_cast<char>(value);
    }
    return bytes;
}

QByteArray XorBytes(const QByteArray& a, const QByteArray& b) {
    const qsizetype count = std::min(a.size(), b.size());
    QByteArray result(count, '\0');
    for (qsizetype i = 0; i < count; ++i)
        result[i] = static_cast<char>(a[i] ^ b[i]);
    return result;
}

QString XorHex(const QString& a, const QString& b) {
    return BytesToHex(XorBytes(HexToBytes(a), HexToBytes(b)));
}

QString MakeKeyStream(const QString& appId) {
    clsWinMd5 md5;
    const QString digest = md5.GetMD5String(appId).rightJustified(kDigestDigits, u'0');
    return digest + digest;
}

QString EncodeSecretKey(const QString& appId, const QString& key) {
    return XorHex(MakeKeyStream(appId), BytesToHex(StrToBytes(key)));
}

QString DecodeSecretKey(const QString& appId, const QString& stored) {
    return BytesToStr(HexToBytes(XorHex(MakeKeyStream(appId), stored)));
}

} // namespace modStrHexByte
