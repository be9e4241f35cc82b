#include "DelayingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <random>
#include <stdexcept>
#include <string>

namespace bench {

namespace {

// How often a carrying thread looks whether the proxy is stopping.
constexpr int kStopCheckMs = 50;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

DelayingProxy::DelayingProxy(int targetPort, std::chrono::milliseconds roundTrip,
                             std::chrono::milliseconds jitter)
    : targetPort_(targetPort), roundTrip_(roundTrip), jitter_(jitter) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, SOMAXCONN) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the delaying proxy cannot listen");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { accept(); });
}

DelayingProxy::~DelayingProxy() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    close(listener_);
    std::unique_lock lock(mutex_);
    allEnded_.wait(lock, [this] { return live_ == 0; });
}

void DelayingProxy::accept() {
    unsigned seed = 1;
    for (;;) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0 || stopping_) {
            if (client >= 0)
                close(client);
            return;
        }
        ++opened_;
        {
            const std::lock_guard lock(mutex_);
            ++live_;
        }
        std::thread([this, client] { serve(client); }).detach();
        ++seed;
    }
}

void DelayingProxy::serve(int client) {
    const Clock::time_point opened = Clock::now();
    const int service = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in target = Loopback(targetPort_);
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(service, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (connect(service, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
        const auto seed = static_cast<unsigned>(opened.time_since_epoch().count());
        std::thread upstream([&] { carry(client, service, true, opened, seed); });
        carry(service, client, false, opened, seed + 1);
        upstream.join();
    }
    close(service);
    close(client);
    {
        const std::lock_guard lock(mutex_);
        --live_;
    }
    allEnded_.notify_all();
}

// Reads what comes from `from` and writes each chunk to `to` once its delay has passed; an end
// of stream is passed on the same way.
void DelayingProxy::carry(int from, int to, bool upstream, Clock::time_point opened,
                          unsigned seed) {
    std::minstd_rand draw(seed);
    const auto oneWay = [&] {
        const auto half = std::chrono::duration_cast<Clock::duration>(roundTrip_) / 2;
        const auto spread = std::chrono::duration_cast<Clock::duration>(jitter_).count();
        if (spread == 0)
            return half;
        return half + Clock::duration(static_cast<Clock::rep>(draw() % (spread + 1))) -
               Clock::duration(spread / 2);
    };
    // The client may send at once here, but on a real network its connection is only open one
    // round trip after it asked.
    const Clock::time_point handshakeDone = upstream ? opened + roundTrip_ : opened;
    struct Chunk {
        Clock::time_point due;
        std::string bytes; // empty: the end of the stream
    };
    std::deque<Chunk> queue;
    Clock::time_point lastDue = opened;
    bool ended = false;
    while (!stopping_) {
        int wait = kStopCheckMs;
        if (!queue.empty()) {
            const auto until =
                std::chrono::ceil<std::chrono::milliseconds>(queue.front().due - Clock::now());
            wait = std::clamp<int>(static_cast<int>(until.count()), 0, kStopCheckMs);
        }
        pollfd ready{from, POLLIN, 0};
        const int events = poll(&ready, ended ? 0 : 1, wait);
        if (events > 0 && ready.revents != 0) {
            char buffer[65536];
            const ssize_t got = read(from, buffer, sizeof buffer);
            const Clock::time_point now = Clock::now();
            lastDue = std::max(std::max(now, handshakeDone) + oneWay(), lastDue);
            queue.push_back({lastDue, got > 0 ? std::string(buffer, static_cast<std::size_t>(got))
                                              : std::string()});
            ended = got <= 0;
        }
        while (!queue.empty() && queue.front().due <= Clock::now()) {
            if (queue.front().bytes.empty() || !WriteAll(to, queue.front().bytes)) {
                shutdown(to, SHUT_WR);
                shutdown(from, SHUT_RD);
                return;
            }
            queue.pop_front();
        }
    }
    shutdown(to, SHUT_RDWR);
    shutdown(from, SHUT_RDWR);
}

} // namespace bench
