// The q field's two encoders on arbitrary text. The input is read as UTF-16LE code units, lone
// surrogates included. The output of URLEncode(UTF8Encode(text)), decoded with the form rules
// ('+' is a space, "%XX" a byte), must give the UTF-8 of the text, a lone surrogate as U+FFFD.
// A '%' of the text itself is sent as it is (so that the escapes of UTF8Encode pass URLEncode);
// a text holding one must encode as its pieces between the '%' characters, joined by '%'.

#include "FuzzCheck.h"

#include "encoding/clsGBtoUTF8.h"
#include "encoding/modURLEnc.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using fuzzcheck::require;
using fuzzcheck::shown;
using fuzzcheck::utf16Text;

namespace {

void appendUtf8(QByteArray& out, char32_t code) {
    const auto byte = [&out](unsigned value) {
        out += static_cast<char>(value);
    };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xC0 | code >> 6);
        byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        byte(0xE0 | code >> 12);
        byte(0x80 | (code >> 6 & 0x3F));
        byte(0x80 | (code & 0x3F));
    } else {
        byte(0xF0 | code >> 18);
        byte(0x80 | (code >> 12 & 0x3F));
        byte(0x80 | (code >> 6 & 0x3F));
        byte(0x80 | (code & 0x3F));
    }
}

// UTF-8 written here, apart from Qt's converter, with a lone surrogate as U+FFFD.
QByteArray expectedUtf8(const QString& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

// The form decoder below is the check's own, written apart from the code under test on purpose.
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Form decoding of an ASCII text: '+' is a space, '%' and two hex digits a byte.
QByteArray formDecoded(const QString& encoded) {
    QByteArray bytes;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const QChar c = encoded[i];
        if (c == u'+') {
            bytes += ' ';
        } else if (c == u'%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
                   hexValue(encoded[i + 2]) >= 0) {
            bytes += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
            i += 2;
        } else {
            bytes += static_cast<char>(c.unicode());
        }
    }
    return bytes;
}

QString encodedField(const QString& text) {
    return modURLEnc::URLEncode(clsGBtoUTF8::UTF8Encode(text));
}

// Only ASCII letters, digits, the four marks - . _ ? , '+' and "%XX" escapes go on the wire,
// besides control characters, which pass as they are.
bool onlyFormCharacters(const QString& encoded) {
    for (const QChar c : encoded) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || u == 0x7F;
        const bool alphanumeric =
            (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
        if (!control && !alphanumeric && u != u'-' && u != u'.' && u != u'_' && u != u'?' &&
            u != u'+' && u != u'%')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = utf16Text(data, size);
    const QString encoded = encodedField(text);
    require(onlyFormCharacters(encoded), "the field holds only characters safe in a form body",
            "text " + shown(text) + "\nencoded " + shown(encoded));

    const QStringList pieces = text.split(u'%');
    QStringList encodedPieces;
    for (const QString& piece : pieces) {
        const QString encodedPiece = encodedField(piece);
        require(formDecoded(encodedPiece) == expectedUtf8(piece),
                "the decoded field is the UTF-8 of the text",
                "text " + shown(piece) + "\nencoded " + shown(encodedPiece));
        encodedPieces << encodedPiece;
    }
    require(encoded == encodedPieces.join(u'%'), "a '%' of the text passes as it is",
            "text " + shown(text) + "\nencoded " + shown(encoded));
    return 0;
}
