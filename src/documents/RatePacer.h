#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace documents {

// Spaces the starts of requests evenly at a little under the given rate, so that no one-second
// window ever holds more than the rate, however the service counts: over a sliding second, per
// clock second, or by the gap between two requests. Retries count like first tries.
// Thread-safe.
class RatePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit RatePacer(double requestsPerSecond); // > 0; 0.5 is one request every two seconds

    // Blocks until the next request may start and counts it; false when `stop` comes first.
    bool acquire(const std::stop_token& stop);

private:
    const Clock::duration interval_;
    std::mutex turn_;
    std::mutex mutex_;
    std::condition_variable_any wakeUp_;
    Clock::time_point next_; // the earliest moment of the next start
};

} // namespace documents
