#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

// Conversions between text, bytes and hexadecimal text, and the reversible encoding under which
// the secret key is stored: its bytes XOR the MD5 digest of the App ID, repeated to 32 bytes.
namespace modStrHexByte {

// Raised by StrToBytes for a character that has no single-byte code in the ANSI code page
// (code page 936): a double-byte character, or one the code page cannot represent at all.
class CharacterCodeOverflow : public std::overflow_error {
public:
    CharacterCodeOverflow(const QString& character, qsizetype position);
    const QString& character() const { return character_; }
    // Position of the character in the text, counting UTF-16 code units from 0.
    qsizetype position() const { return position_; }

private:
    QString character_;
    qsizetype position_;
};

// One byte per character: its code in the ANSI code page. Throws CharacterCodeOverflow.
QByteArray StrToBytes(const QString& text);
// One character per byte; a byte that is no character on its own gives U+FFFD.
QString BytesToStr(const QByteArray& bytes);
// Two uppercase hexadecimal digits per byte.
QString BytesToHex(const QByteArray& bytes);
// Reads two characters per byte. An odd length n gives (n + 1) / 2 bytes when n mod 4 is 1 (the
// last digit alone makes a byte) and (n - 1) / 2 when n mod 4 is 3 (the last digit is dropped).
// Spaces, tabs and line feeds in a pair are ignored; the leading hexadecimal digits make the
// value, and a pair without one gives 0.
QByteArray HexToBytes(const QString& hex);
// a[i] XOR b[i] over the length of the shorter array.
QByteArray XorBytes(const QByteArray& a, const QByteArray& b);
// The XOR of the bytes of two hexadecimal texts, as hexadecimal text.
QString XorHex(const QString& a, const QString& b);

// The 32 hexadecimal digits of the App ID's MD5 digest, written twice.
QString MakeKeyStream(const QString& appId);
// The stored form of a secret key: 2 * min(length, 32) uppercase hexadecimal digits.
// Throws CharacterCodeOverflow for a key character without a single-byte code.
QString EncodeSecretKey(const QString& appId, const QString& key);
// The secret key back from its stored form. Under another App ID, or from an edited stored form,
// it gives another text without any error.
QString DecodeSecretKey(const QString& appId, const QString& stored);

} // namespace modStrHexByte
