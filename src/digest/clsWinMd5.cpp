#include "digest/clsWinMd5.h"

#include "platform/AnsiCodePage.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Files are hashed through one buffer of this size, never held whole.
constexpr qint64 kFileChunk = 524288;

} // namespace

QString clsWinMd5::GetMD5File(const QString& FileName) {
    if (!DigestFile(FileName))
        return QString();
    return DigestToHex();
}

QString clsWinMd5::GetMD5String(const QString& strText) {
    DigestString(strText);
    return DigestToHex();
}

QString clsWinMd5::GetMD5Bytes(const QByteArray& Buffer, int size) {
    DigestBytes(Buffer, size);
    return DigestToHex();
}

clsWinMd5::Digest clsWinMd5::DigestString(const QString& strText) {
    platform::MD5Init(&context_);
    const QByteArray bytes = platform::WideToAnsi(strText);
    Update(bytes.constData(), bytes.size());
    return Finish();
}

clsWinMd5::Digest clsWinMd5::DigestBytes(const QByteArray& Buffer, int size) {
    const qint64 count = size == -1 ? Buffer.size() : std::clamp<qint64>(size, 0, Buffer.size());
    platform::MD5Init(&context_);
    Update(Buffer.constData(), count);
    return Finish();
}

std::optional<clsWinMd5::Digest> clsWinMd5::DigestFile(const QString& FileName) {
    // Folders, devices, pipes and hidden files do not count as files to hash.
    const QFileInfo info(FileName);
    if (!info.isFile() || info.isHidden())
        return std::nullopt;
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    std::vector<char> buffer(kFileChunk);
    qint64 remaining = file.size();
    platform::MD5Init(&context_);
    if (remaining == 0)
        Update(nullptr, 0);
    while (remaining > 0) {
        const qint64 read = file.read(buffer.data(), std::min(remaining, kFileChunk));
        if (read <= 0)
            return std::nullopt;
        Update(buffer.data(), read);
        remaining -= read;
    }
    return Finish();
}

QString clsWinMd5::DigestToHex() const {
    if (context_.i[0] == 0)
        return QString();
    const QByteArray digest(reinterpret_cast<const char*>(context_.digest), sizeof context_.digest);
    return QString::fromLatin1(digest.toHex().toUpper());
}

void clsWinMd5::Update(const char* bytes, qint64 count) {
    if (count == 0) {
        const std::uint32_t zero = 0;
        platform::MD5Update(&context_, reinterpret_cast<const unsigned char*>(&zero), 0);
        return;
    }
    // Every caller passes at most one file chunk or one in-memory array; split anyway so that
    // counts beyond the 32-bit parameter stay whole.
    constexpr qint64 kMaxUpdate = 1 << 30;
    while (count > 0) {
        const qint64 part = std::min(count, kMaxUpdate);
        platform::MD5Update(&context_, reinterpret_cast<const unsigned char*>(bytes),
                            static_cast<unsigned int>(part));
        bytes += part;
        count -= part;
    }
}

clsWinMd5::Digest clsWinMd5::Finish() {
    platform::MD5Final(&context_);
    Digest digest;
    std::memcpy(digest.data(), context_.digest, digest.size());
    return digest;
}
