#include "standin/ConnectionDropper.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <charconv>
#include <filesystem>

namespace standin {

namespace {

struct Endpoint {
    std::string address;
    int port = -1;
};

// The numeric address and port of a socket address, IPv4 or IPv6; port -1 for anything else.
Endpoint ToEndpoint(const sockaddr_storage& storage) {
    char text[INET6_ADDRSTRLEN] = {};
    if (storage.ss_family == AF_INET) {
        const auto& in = reinterpret_cast<const sockaddr_in&>(storage);
        inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
        return {text, ntohs(in.sin_port)};
    }
    if (storage.ss_family == AF_INET6) {
        const auto& in6 = reinterpret_cast<const sockaddr_in6&>(storage);
        inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
        return {text, ntohs(in6.sin6_port)};
    }
    return {};
}

bool IsConnection(int fd, const std::string& remoteAddr, int remotePort, int localPort) {
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    sockaddr_storage local{};
    socklen_t localLength = sizeof local;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0) {
        return false;
    }
    const Endpoint remote = ToEndpoint(peer);
    return remote.port == remotePort && remote.address == remoteAddr &&
           ToEndpoint(local).port == localPort;
}

bool IsListeningOn(int fd, int localPort) {
    int listening = 0;
    socklen_t size = sizeof listening;
    sockaddr_storage local{};
    socklen_t localLength = sizeof local;
    return getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) == 0 && listening != 0 &&
           getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0 &&
           ToEndpoint(local).port == localPort;
}

// Calls `visit` with each of the process's descriptors until it returns true; gives that
// descriptor, or -1.
template <typename Visit> int FindDescriptor(const Visit& visit) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec == std::errc{} &&
            visit(fd)) {
            return fd;
        }
    }
    return -1;
}

bool IsAcceptedOn(int fd, int localPort) {
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    sockaddr_storage local{};
    socklen_t localLength = sizeof local;
    return getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 &&
           getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) == 0 &&
           ToEndpoint(local).port == localPort;
}

} // namespace

bool DropConnection(const std::string& remoteAddr, int remotePort, int localPort,
                    const std::string& bytesFirst) {
    const int fd = FindDescriptor(
        [&](int candidate) { return IsConnection(candidate, remoteAddr, remotePort, localPort); });
    if (fd < 0)
        return false;
    if (!bytesFirst.empty())
        static_cast<void>(send(fd, bytesFirst.data(), bytesFirst.size(), MSG_NOSIGNAL));
    return shutdown(fd, SHUT_RDWR) == 0;
}

void DropAllConnections(int localPort) {
    FindDescriptor([&](int candidate) {
        if (IsAcceptedOn(candidate, localPort))
            shutdown(candidate, SHUT_RDWR);
        return false; // on to the next
    });
}

void WidenListenBacklog(int localPort) {
    const int fd =
        FindDescriptor([&](int candidate) { return IsListeningOn(candidate, localPort); });
    if (fd >= 0)
        listen(fd, SOMAXCONN);
}

} // namespace standin
