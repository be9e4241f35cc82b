#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// A settings file is a regular file of at most this size; anything larger is no settings file.
constexpr qint64 kMaxProfileFileSize = qint64{4} * 1024 * 1024;

enum class ProfileFileKind {
    Missing,    // nothing under that name
    Regular,    // a regular file (or a link to one) of at most kMaxProfileFileSize bytes
    NotRegular, // a FIFO, a device, a folder or a socket, or a link to one
    TooLarge,   // a regular file larger than kMaxProfileFileSize
    Unreadable, // there, but it cannot be opened or read
};

struct ProfileFileBytes {
    ProfileFileKind kind = ProfileFileKind::Missing;
    QByteArray bytes; // the file's bytes when it is Regular, otherwise empty
};

// Reads a settings file without ever blocking: it is opened non-blocking and read only when the
// open descriptor is a regular file, so a FIFO or a device under its name cannot hang a reader,
// and no more than kMaxProfileFileSize bytes are read.
ProfileFileBytes ReadProfileFileBytes(const QString& fileName);

} // namespace platform
