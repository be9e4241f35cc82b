#pragma once

#include "documents/DocumentTexts.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <optional>
#include <stdexcept>

class QIODevice;

namespace documents {

// Input that cannot be translated: not UTF-8, or not readable. The reason is for the user.
class InputError : public std::runtime_error {
public:
    explicit InputError(const QString& reason)
        : std::runtime_error(reason.toStdString()), reason_(reason) {}
    QString reason() const { return reason_; }

    static InputError NotUtf8() { return InputError(kInputNotUtf8); }
    // Made right after the read or seek that failed: the reason comes from its error number.
    static InputError Unreadable();

private:
    QString reason_;
};

// A line of input, or a stretch of a very long one: those come in several pieces, only the last
// with lineEnds set. The line end (LF or CR LF) is not part of the text.
struct LinePiece {
    QString text;
    bool lineEnds = true;
};

// Reads a device line by line, holding no more than one block and one line piece at a time.
// The device's reads block until data comes or the input ends (a file, standard input, a
// buffer).
class InputLines {
public:
    // `alreadyRead`: bytes taken from the device before, which come first.
    explicit InputLines(QIODevice& device, QByteArray alreadyRead = {});

    // The next line or piece; nullopt at the end. Throws InputError.
    std::optional<LinePiece> next();

private:
    bool readBlock(); // false at the end of the input
    QString decode(QByteArrayView bytes);

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype start_ = 0;
    bool ended_ = false;
    QStringDecoder decoder_{QStringDecoder::Utf8};
};

// Up to `bytes` bytes from the start of the device, fewer when the input ends first.
QByteArray ReadUpTo(QIODevice& device, qsizetype bytes);

} // namespace documents
