#pragma once

#include <QIODevice>

namespace cli {

// Writes straight to a file descriptor, unbuffered, and keeps the error number of a failed
// write, so that the failure can be told for what it is (ErrorNumberText, also its
// errorString()). Closes the descriptor at the end when it owns it.
class DescriptorOutput : public QIODevice {
public:
    explicit DescriptorOutput(int fd, bool owned = false);
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    int descriptor() const { return fd_; }
    // The error number of the first write that failed; 0 while none has.
    int writeError() const { return writeError_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* /*data*/, qint64 /*maxSize*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    int fd_;
    bool owned_;
    int writeError_ = 0;
};

} // namespace cli
