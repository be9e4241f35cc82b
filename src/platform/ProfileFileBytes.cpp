#include "platform/ProfileFileBytes.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

ProfileFileBytes ReadProfileFileBytes(const QString& fileName) {
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {ProfileFileKind::Missing, {}};
        // A FIFO without a writer opens; a socket or a folder opened this way fails.
        struct stat info {};
        if (::stat(QFile::encodeName(fileName).constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return {ProfileFileKind::NotRegular, {}};
        return {ProfileFileKind::Unreadable, {}};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {ProfileFileKind::Unreadable, {}};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return {ProfileFileKind::Unreadable, {}};
    if (!S_ISREG(info.st_mode))
        return {ProfileFileKind::NotRegular, {}};
    if (info.st_size > kMaxProfileFileSize)
        return {ProfileFileKind::TooLarge, {}};
    // Read to its size and one byte beyond, which tells whether it grew since the check; only
    // then is the rest read, still one byte past the limit at most.
    QByteArray bytes = file.read(info.st_size + 1);
    if (bytes.size() > info.st_size && file.error() == QFileDevice::NoError)
        bytes += file.read(kMaxProfileFileSize + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return {ProfileFileKind::Unreadable, {}};
    if (bytes.size() > kMaxProfileFileSize)
        return {ProfileFileKind::TooLarge, {}};
    return {ProfileFileKind::Regular, std::move(bytes)};
}

} // namespace platform
