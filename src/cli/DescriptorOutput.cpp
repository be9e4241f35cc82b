#include "cli/DescriptorOutput.h"

#include "platform/ErrorNumberText.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace cli {

DescriptorOutput::DescriptorOutput(int fd, bool owned) : fd_(fd), owned_(owned) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

DescriptorOutput::~DescriptorOutput() {
    if (owned_)
        ::close(fd_);
}

qint64 DescriptorOutput::writeData(const char* data, qint64 size) {
    qint64 written = 0;
    while (written < size) {
        const ssize_t got = ::write(fd_, data + written, static_cast<size_t>(size - written));
        if (got >= 0) {
            written += got;
            continue;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        // A descriptor left non-blocking by whoever shares it: wait until it takes more.
        if (error == EAGAIN || error == EWOULDBLOCK) {
            pollfd ready{fd_, POLLOUT, 0};
            if (::poll(&ready, 1, -1) >= 0 || errno == EINTR)
                continue;
        }
        if (writeError_ == 0)
            writeError_ = error;
        setErrorString(platform::ErrorNumberText(error));
        return -1;
    }
    return written;
}

} // namespace cli
