#pragma once

#include <QFile>

namespace cli {

// A file read by quorvel-cli (the file of -i, or standard input): a failed read tells why in
// Chinese, from its error number (errorString()), where QFile would tell it in English.
class InputFile : public QFile {
public:
    using QFile::QFile;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
};

} // namespace cli
