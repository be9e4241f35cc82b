#pragma once

// A network of the benchmarks' own making: a TCP proxy on 127.0.0.1 in front of a local service
// that delays every chunk by half a round trip in each direction, so that a new connection pays
// its TCP handshake (the client's first bytes leave one round trip after it connects) and a TLS
// handshake pays its own round trips, as on a real network.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace bench {

class DelayingProxy {
public:
    // `jitter`: each chunk's one-way delay is drawn from roundTrip/2 +- jitter/2, so a round
    // trip lies within roundTrip +- jitter. Chunks of one direction keep their order.
    DelayingProxy(int targetPort, std::chrono::milliseconds roundTrip,
                  std::chrono::milliseconds jitter = {});
    ~DelayingProxy(); // stops accepting, ends every connection and waits for them
    DelayingProxy(const DelayingProxy&) = delete;
    DelayingProxy& operator=(const DelayingProxy&) = delete;

    int port() const { return port_; }
    int connectionsOpened() const { return opened_; }

private:
    using Clock = std::chrono::steady_clock;

    void accept();
    void serve(int client);
    void carry(int from, int to, bool upstream, Clock::time_point opened, unsigned seed);

    const int targetPort_;
    const std::chrono::milliseconds roundTrip_, jitter_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> opened_{0};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable allEnded_;
    int live_ = 0; // connections being carried
    std::thread acceptor_;
};

} // namespace bench
