#include "cli/OutputFile.h"

#include "cli/CliTexts.h"
#include "platform/ErrorNumberText.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

bool SameFile(const struct stat& a, int fd) {
    struct stat b {};
    return fstat(fd, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `path` names something to write into rather than a file to replace: anything that
// exists and is no regular file, through any links, or the file standard output or error
// already writes to.
bool WrittenInPlace(const QString& path) {
    struct stat target {};
    if (stat(QFile::encodeName(path).constData(), &target) != 0)
        return false;
    return !S_ISREG(target.st_mode) || SameFile(target, STDOUT_FILENO) ||
           SameFile(target, STDERR_FILENO);
}

} // namespace

OutputFile::OutputFile(QString path) : path_(std::move(path)), inPlace_(WrittenInPlace(path_)) {}

bool OutputFile::openInPlace() {
    if (!inPlace_)
        return true;
    // Appended to and never created, so that a target that went away is not made a file.
    const int fd =
        ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    output_.emplace(fd, true);
    return true;
}

bool OutputFile::openReplacement() {
    if (inPlace_)
        return true;
    replacement_.setFileName(path_);
    errno = 0;
    if (!replacement_.open(QIODevice::WriteOnly)) {
        error_ = errno;
        return false;
    }
    // Written through its descriptor, so that a failed write keeps its error number.
    output_.emplace(replacement_.handle());
    return true;
}

bool OutputFile::isTerminal() const {
    return output_ && isatty(output_->descriptor()) == 1;
}

bool OutputFile::commit() {
    errno = 0;
    if (inPlace_ || replacement_.commit())
        return true;
    error_ = errno;
    return false;
}

QString OutputFile::errorText() const {
    if (output_ && output_->writeError() != 0)
        return platform::ErrorNumberText(output_->writeError());
    if (error_ != 0)
        return platform::ErrorNumberText(error_);
    return kUnknownReason;
}

} // namespace cli
