#include "cli/InputFile.h"

#include "platform/ErrorNumberText.h"

#include <cerrno>

namespace cli {

qint64 InputFile::readData(char* data, qint64 maxSize) {
    errno = 0;
    const qint64 got = QFile::readData(data, maxSize);
    if (got < 0)
        setErrorString(platform::ErrorNumberText(errno != 0 ? errno : EIO));
    return got;
}

} // namespace cli
