#pragma once

#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace app {

// One window per user, display and settings file. The open window listens on a local socket
// named after the three; a later start connects to it, hands over its text and ends. Copies
// with another settings file, or on another display, have other names and never meet. The
// socket lies in the user's runtime folder (the temporary folder without one) and only its
// user may connect; a window that was killed leaves its socket behind, which the next start
// finds dead and replaces. Plain sockets and flock rather than QtNetwork and QLockFile, which
// would slow every start by milliseconds.
class SingleWindow {
public:
    // `settingsFilePath`: the file this copy of the program reads, as it was given.
    explicit SingleWindow(const QString& settingsFilePath);
    ~SingleWindow(); // removes the socket it listens on
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;

    // When a window of the same name is open, hands it `text` (empty: only to come to the
    // front) and returns true. Otherwise takes the name for this process and returns false.
    bool handOver(const QString& text);

    // From now on, `received` gets the text of every later start, on this thread; starts that
    // came while the window was loading are delivered first.
    void serve(std::function<void(const QString&)> received);

    // The socket's full path for a settings file on the display this process uses.
    static QString SocketPath(const QString& settingsFilePath);

private:
    void listen();
    void accept();
    void read(int connection, QSocketNotifier* readable, QByteArray& text);

    const QString socketPath_;
    int listening_ = -1;
    std::unique_ptr<QSocketNotifier> incoming_;
    std::function<void(const QString&)> received_;
};

} // namespace app
