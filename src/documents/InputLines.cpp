#include "documents/InputLines.h"

#include "documents/DocumentTexts.h"

#include "platform/ErrorNumberText.h"

#include <QIODevice>

#include <cerrno>

namespace documents {

namespace {

constexpr qsizetype kBlockBytes = qsizetype{64} * 1024;
// A line longer than this is handed on in pieces, so that one line of a whole book costs no
// more memory than a paragraph.
constexpr qsizetype kPieceBytes = qsizetype{64} * 1024;

qint64 ReadSome(QIODevice& device, char* data, qint64 bytes) {
    errno = 0;
    const qint64 read = device.read(data, bytes);
    if (read < 0)
        throw InputError::Unreadable();
    return read;
}

} // namespace

InputError InputError::Unreadable() {
    return InputError(kInputNotRead + platform::ErrorNumberText(errno != 0 ? errno : EIO));
}

QByteArray ReadUpTo(QIODevice& device, qsizetype bytes) {
    QByteArray data(bytes, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes) {
        const qint64 read = ReadSome(device, data.data() + filled, bytes - filled);
        if (read == 0)
            break;
        filled += read;
    }
    data.truncate(filled);
    return data;
}

InputLines::InputLines(QIODevice& device, QByteArray alreadyRead)
    : device_(device), buffer_(std::move(alreadyRead)) {}

bool InputLines::readBlock() {
    if (ended_)
        return false;
    buffer_.remove(0, start_);
    start_ = 0;
    const qsizetype old = buffer_.size();
    buffer_.resize(old + kBlockBytes);
    const qint64 read = ReadSome(device_, buffer_.data() + old, kBlockBytes);
    buffer_.truncate(old + read);
    ended_ = read == 0;
    return !ended_;
}

QString InputLines::decode(QByteArrayView bytes) {
    QString text = decoder_.decode(bytes);
    if (decoder_.hasError())
        throw InputError::NotUtf8();
    return text;
}

std::optional<LinePiece> InputLines::next() {
    for (;;) {
        const qsizetype end = buffer_.indexOf('\n', start_);
        if (end >= 0) {
            // The line end goes through the decoder too, so that a sequence cut short before it
            // counts as an error.
            QString text = decode(QByteArrayView(buffer_).sliced(start_, end + 1 - start_));
            start_ = end + 1;
            text.chop(text.endsWith(QLatin1String("\r\n")) ? 2 : 1);
            return LinePiece{std::move(text), true};
        }
        const qsizetype waiting = buffer_.size() - start_;
        if (waiting >= kPieceBytes) {
            // Keep a final CR back: the LF of a CR LF may follow.
            const qsizetype take = buffer_.endsWith('\r') ? waiting - 1 : waiting;
            QString text = decode(QByteArrayView(buffer_).sliced(start_, take));
            start_ += take;
            return LinePiece{std::move(text), false};
        }
        if (!readBlock())
            break;
    }
    if (buffer_.size() == start_)
        return std::nullopt;
    // A last line without a line end; an LF behind it shows a sequence cut short.
    QString text = decode(buffer_.sliced(start_) + '\n');
    buffer_.clear();
    start_ = 0;
    text.chop(1);
    return LinePiece{std::move(text), true};
}

} // namespace documents
