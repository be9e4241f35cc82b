#include "documents/DocumentJournal.h"

#include "documents/DocumentTexts.h"
#include "documents/InputLines.h"
#include "platform/ErrorNumberText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace documents {

namespace {

constexpr std::array<char, 8> kMagic = {'Q', 'V', 'J', 'O', 'U', 'R', '1', '\n'};
constexpr qint64 kIdentitySize = 32;
constexpr qint64 kHeaderSize = qint64{kMagic.size()} + kIdentitySize;
constexpr qint64 kHashSize = 8;
constexpr qint64 kRecordHead = 4 + kHashSize;  // length, checksum
constexpr qint64 kPayloadHead = 8 + kHashSize; // index, q hash
constexpr qint64 kLongestPayload = 64LL << 20; // far beyond any one batch's output

QByteArray ShortHash(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).left(kHashSize);
}

void PutLittleEndian(QByteArray& bytes, quint64 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

quint64 GetLittleEndian(const char* bytes, int size) {
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value |= quint64{static_cast<unsigned char>(bytes[i])} << (8 * i);
    return value;
}

bool WriteAt(int fd, QByteArrayView bytes, qint64 offset) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += wrote;
    }
    return true;
}

// Exactly `size` bytes at `offset`, or an empty array.
QByteArray ReadAt(int fd, qint64 offset, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size - done, offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {};
        done += got;
    }
    return bytes;
}

QString SystemError() {
    return platform::ErrorNumberText(errno);
}

// The folder's entry of a new file is on the disk too.
void SyncFolderOf(const QString& path) {
    const int folder = ::open(QFile::encodeName(QFileInfo(path).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}

} // namespace

DocumentJournal::DocumentJournal(QString path, QByteArray identity, bool reuse)
    : path_(std::move(path)), identity_(std::move(identity)) {
    if (reuse)
        load();
    writer_ = std::thread([this] { write(); });
}

DocumentJournal::~DocumentJournal() {
    stopWriting();
    if (fd_ >= 0)
        ::close(fd_);
}

void DocumentJournal::stopWriting() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

void DocumentJournal::write() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return closing_ || !unwritten_.isEmpty(); });
        if (unwritten_.isEmpty())
            return; // closing, all written
        const QByteArray records = std::exchange(unwritten_, {});
        writing_ = true;
        lock.unlock();
        QString failure;
        if (fd_ < 0 && !create())
            failure = described(kJournalNotCreated);
        else if (fd_ >= 0 && (!WriteAt(fd_, records, end_) || ::fdatasync(fd_) != 0))
            failure = described(kJournalNotWritten);
        else
            end_ += records.size();
        lock.lock();
        writing_ = false;
        if (!failure.isEmpty() && error_.isEmpty())
            fail(failure);
        changed_.notify_all();
    }
}

void DocumentJournal::load() {
    fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0)
        return;
    struct stat about {};
    const QByteArray header = ReadAt(fd_, 0, kHeaderSize);
    if (::fstat(fd_, &about) != 0 || !S_ISREG(about.st_mode) || about.st_uid != ::geteuid() ||
        header != QByteArray(kMagic.data(), kMagic.size()) + identity_) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    qint64 offset = kHeaderSize;
    for (;;) {
        const QByteArray head = ReadAt(fd_, offset, kRecordHead);
        if (head.isEmpty())
            break;
        const auto length = static_cast<qint64>(GetLittleEndian(head.constData(), 4));
        if (length < kPayloadHead || length > kLongestPayload)
            break;
        const QByteArray payload = ReadAt(fd_, offset + kRecordHead, length);
        if (payload.isEmpty() || ShortHash(payload) != head.mid(4))
            break;
        const auto index = static_cast<qint64>(GetLittleEndian(payload.constData(), 8));
        records_[index] = {offset + kRecordHead + kPayloadHead, length - kPayloadHead,
                           payload.mid(8, kHashSize)};
        offset += kRecordHead + length;
    }
    end_ = offset;
    // A record cut short by a kill goes, so that the next ones follow the last whole one.
    if (about.st_size > end_ && ::ftruncate(fd_, end_) != 0) {
        fail(described(kJournalNotTruncated));
        records_.clear();
        ::close(fd_);
        fd_ = -1;
    }
}

bool DocumentJournal::create() {
    const QByteArray name = QFile::encodeName(path_);
    // Removed first, so that the new file is this user's own, with its own mode.
    if (::unlink(name.constData()) != 0 && errno != ENOENT)
        return false;
    fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        return false;
    if (!WriteAt(fd_, QByteArray(kMagic.data(), kMagic.size()) + identity_, 0) ||
        ::fdatasync(fd_) != 0)
        return false;
    SyncFolderOf(path_);
    end_ = kHeaderSize;
    return true;
}

std::optional<QString> DocumentJournal::answered(qint64 index, const RequestBatch& batch) {
    const auto found = records_.find(index);
    if (found == records_.end() || found->second.question != ShortHash(batch.q.toUtf8()))
        return std::nullopt;
    const Place& place = found->second;
    if (place.size == 0)
        return QString();
    const QByteArray output = ReadAt(fd_, place.offset, place.size);
    if (output.isEmpty())
        return std::nullopt;
    return QString::fromUtf8(output);
}

void DocumentJournal::keep(std::span<const KeptAnswer> answers) {
    if (answers.empty())
        return;
    QByteArray records;
    for (const KeptAnswer& answer : answers) {
        QByteArray payload;
        PutLittleEndian(payload, static_cast<quint64>(answer.index), 8);
        payload += ShortHash(answer.batch->q.toUtf8());
        payload += answer.output.toUtf8();
        PutLittleEndian(records, static_cast<quint64>(payload.size()), 4);
        records += ShortHash(payload);
        records += payload;
    }
    {
        const std::lock_guard lock(mutex_);
        if (!error_.isEmpty())
            return;
        unwritten_ += records;
    }
    changed_.notify_all();
}

QString DocumentJournal::error() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return unwritten_.isEmpty() && !writing_; });
    return error_;
}

bool DocumentJournal::remove() {
    stopWriting();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    return ::unlink(QFile::encodeName(path_).constData()) == 0 || errno == ENOENT;
}

QString DocumentJournal::described(const QString& what) const {
    return QStringLiteral("%1%2：%3").arg(what, path_, SystemError());
}

// A failed record may be followed by whole ones that would never be read: none are written after
// it.
void DocumentJournal::fail(const QString& why) {
    error_ = why;
    unwritten_.clear();
}

QByteArray RunIdentity(QIODevice& input, const QString& from, const QString& to,
                       const QString& canonicalOutput, qsizetype maxRequestBytes) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& field : {from, to, canonicalOutput, QString::number(maxRequestBytes)}) {
        const QByteArray bytes = field.toUtf8();
        QByteArray length;
        PutLittleEndian(length, static_cast<quint64>(bytes.size()), 8);
        hash.addData(length + bytes);
    }
    const qint64 start = input.pos();
    for (QByteArray block = input.read(1 << 20); !block.isEmpty(); block = input.read(1 << 20))
        hash.addData(block);
    if (!input.seek(start))
        throw InputError::Unreadable();
    return hash.result();
}

QString CanonicalOutputPath(const QString& output) {
    const QFileInfo info(output);
    QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(info.absolutePath());
    return QDir(folder).filePath(info.fileName());
}

QString JournalPathFor(const QString& canonicalOutput) {
    const QFileInfo output(canonicalOutput);
    const QString name = output.fileName() + QStringLiteral(".quorvel-journal");
    if (::access(QFile::encodeName(output.path()).constData(), W_OK | X_OK) == 0)
        return QDir(output.path()).filePath(u'.' + name);

    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::home().filePath(QStringLiteral(".cache"));
    const QString folder = QDir(cache).filePath(QStringLiteral("quorvel"));
    QDir().mkpath(cache);
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return {};
    const QByteArray pathHash =
        QCryptographicHash::hash(canonicalOutput.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QDir(folder).filePath(QString::fromLatin1(pathHash.left(16)) + u'.' + name);
}

} // namespace documents
