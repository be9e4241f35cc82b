#pragma once

#include "cli/DescriptorOutput.h"

#include <QSaveFile>
#include <QString>

#include <optional>

namespace cli {

// The file that -o names. A regular file (or a new one) is written beside and replaced by
// commit() alone, once the whole document is translated. Anything else (a terminal, a FIFO, a
// device, a socket, /dev/stdout) is written into as it is and never replaced, renamed or
// removed; so is a regular file that already is standard output or error (-o /dev/stdout into a
// file opened by >>), appended to.
class OutputFile {
public:
    explicit OutputFile(QString path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens a target written into as it is: a FIFO waits here for its reader. Does nothing for
    // a file that is replaced. False when it cannot be opened.
    bool openInPlace();
    // Starts the replacement of a regular file. Does nothing for a target written in place.
    bool openReplacement();

    QIODevice& device() { return *output_; }
    bool isTerminal() const;
    // Puts the replacement in the file's place; nothing to do for a target written in place.
    bool commit();
    // Why opening, writing or commit() failed, for a person.
    QString errorText() const;

private:
    QString path_;
    bool inPlace_;
    QSaveFile replacement_;
    std::optional<DescriptorOutput> output_;
    int error_ = 0;
};

} // namespace cli
