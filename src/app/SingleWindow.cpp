#include "app/SingleWindow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace app {

namespace {

using namespace std::chrono_literals;

constexpr auto kLockWait = 5s;
constexpr timeval kSendTimeout{2, 0}; // a window that has stopped cannot hold a start for long

// The same file however it was named: through links, relative or not, existing or not yet.
QString CanonicalPath(const QString& path) {
    const QFileInfo file(path);
    if (QString canonical = file.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    if (const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
        !folder.isEmpty())
        return QDir(folder).filePath(file.fileName());
    return file.absoluteFilePath();
}

QString SocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

// The socket address of `path`; none when the path is too long for one.
std::optional<sockaddr_un> Address(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (bytes.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return address;
}

const sockaddr* Generic(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

// Holds the lock beside the socket while a start decides between handing over and listening,
// so that of two starts at once one takes the name and the other finds it taken. A lock of the
// kernel: it ends with its process, however that ends.
class StartLock {
public:
    explicit StartLock(const QString& path)
        : file_(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                       S_IRUSR | S_IWUSR)) {
        const auto until = std::chrono::steady_clock::now() + kLockWait;
        while (file_ >= 0 && ::flock(file_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() > until)
                return;
            std::this_thread::sleep_for(10ms);
        }
        held_ = file_ >= 0;
    }
    ~StartLock() {
        if (file_ >= 0)
            ::close(file_);
    }
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;

    bool held() const { return held_; }

private:
    const int file_;
    bool held_ = false;
};

// Whether the process at the other end of `socket` runs as this user. In a shared temporary
// folder another user could take the name first: a text is never handed to them, nor taken
// from them.
bool PeerIsThisUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

void SendAll(int socket, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(socket, bytes.constData() + sent,
                                     static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (count > 0)
            sent += count;
        else if (count < 0 && errno == EINTR)
            continue;
        else
            return;
    }
}

} // namespace

SingleWindow::SingleWindow(const QString& settingsFilePath)
    : socketPath_(SocketPath(settingsFilePath)) {}

SingleWindow::~SingleWindow() {
    if (listening_ < 0)
        return;
    incoming_.reset();
    ::close(listening_);
    ::unlink(QFile::encodeName(socketPath_).constData());
}

QString SingleWindow::SocketPath(const QString& settingsFilePath) {
    const QString display = QGuiApplication::platformName() + u'|' +
                            qEnvironmentVariable("WAYLAND_DISPLAY") + u'|' +
                            qEnvironmentVariable("DISPLAY");
    const QByteArray key = QByteArray::number(::getuid()) + '\n' + display.toUtf8() + '\n' +
                           CanonicalPath(settingsFilePath).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256);
    return QDir(SocketFolder())
        .filePath(QStringLiteral("quorvel-") + QString::fromLatin1(digest.left(12).toHex()));
}

bool SingleWindow::handOver(const QString& text) {
    const std::optional<sockaddr_un> address = Address(socketPath_);
    if (!address)
        return false; // every start has a window of its own
    const StartLock lock(socketPath_ + QStringLiteral(".lock"));

    const int window = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (window < 0)
        return false;
    if (::connect(window, Generic(*address), sizeof *address) == 0) {
        if (!PeerIsThisUser(window)) {
            ::close(window);
            return false; // a window of its own, under no name
        }
        ::setsockopt(window, SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
        SendAll(window, text.toUtf8());
        ::close(window);
        return true;
    }
    // No socket, or one that nobody listens on any more: the name is free.
    const bool free = errno == ENOENT || errno == ECONNREFUSED;
    ::close(window);
    if (lock.held() && free)
        listen();
    return false;
}

void SingleWindow::listen() {
    const QByteArray path = QFile::encodeName(socketPath_);
    ::unlink(path.constData());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return;
    const sockaddr_un address = *Address(socketPath_);
    if (::bind(socket, Generic(address), sizeof address) != 0 ||
        ::chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket, 16) != 0) {
        ::close(socket);
        return;
    }
    listening_ = socket;
}

void SingleWindow::serve(std::function<void(const QString&)> received) {
    if (listening_ < 0)
        return;
    received_ = std::move(received);
    incoming_ = std::make_unique<QSocketNotifier>(listening_, QSocketNotifier::Read);
    QObject::connect(incoming_.get(), &QSocketNotifier::activated, incoming_.get(),
                     [this] { accept(); });
    accept();
}

void SingleWindow::accept() {
    for (;;) {
        const int connection =
            ::accept4(listening_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection < 0)
            return;
        if (!PeerIsThisUser(connection)) {
            ::close(connection);
            continue;
        }
        auto* readable = new QSocketNotifier(connection, QSocketNotifier::Read);
        auto text = std::make_shared<QByteArray>();
        QObject::connect(readable, &QSocketNotifier::activated, readable,
                         [this, connection, readable, text] { read(connection, readable, *text); });
        read(connection, readable, *text);
    }
}

// Reads what has come; the text is complete when the other start has closed its end.
void SingleWindow::read(int connection, QSocketNotifier* readable, QByteArray& text) {
    char chunk[4096];
    ssize_t count = 0;
    while ((count = ::read(connection, chunk, sizeof chunk)) > 0 || (count < 0 && errno == EINTR))
        if (count > 0)
            text.append(chunk, count);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    if (!readable->isEnabled())
        return;
    readable->setEnabled(false);
    readable->deleteLater();
    ::close(connection);
    if (count == 0)
        received_(QString::fromUtf8(text));
}

} // namespace app
