#pragma once

#include "platform/Md5.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// MD5 digests (RFC 1321) of a text, a byte array or a file, as 32 uppercase hexadecimal digits.
// The object holds one MD5 context and serves one computation at a time.
class clsWinMd5 {
public:
    // The digest of the file's bytes; empty when the name is not an ordinary, visible file or
    // the file cannot be read. The file is only read, never created.
    QString GetMD5File(const QString& FileName);

    // The digest of the text's bytes in the ANSI code page.
    QString GetMD5String(const QString& strText);

    // The digest of the first `size` bytes of Buffer, or of all of it when size is -1. A size
    // outside 0 to Buffer.size() is clamped into that range, so nothing outside the array is read.
    QString GetMD5Bytes(const QByteArray& Buffer, int size);

private:
    using Digest = std::array<std::uint8_t, 16>;

    Digest DigestString(const QString& strText);
    Digest DigestBytes(const QByteArray& Buffer, int size);
    std::optional<Digest> DigestFile(const QString& FileName);
    // The digest held in the context, or the empty text when its first bit counter is zero.
    QString DigestToHex() const;

    // Adds bytes to the context; empty input is passed as a zero-valued word with the count 0.
    void Update(const char* bytes, qint64 count);
    Digest Finish();

    platform::MD5_CTX context_{};
};
