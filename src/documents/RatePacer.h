#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>

namespace documents {

// Spaces requests evenly at a little under the given rate, so that no one-second window ever
// holds more than the rate, however the service counts: over a sliding second, per clock
// second, or by the gap between two requests. The first second of a document holds at most the
// rate. Retries count like first tries. Thread-safe.
class RatePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit RatePacer(double requestsPerSecond); // > 0; 0.5 is one request every two seconds

    // Blocks until the next request may go out and counts it; false when `stop` comes first.
    bool acquire(const std::stop_token& stop);

    // The service refused a request for its rate (54003): the requests' arrivals vary more than
    // the margin allows for, so the gap widens for the rest of the document.
    void widenMargin();

private:
    const double requestsPerSecond_;
    std::mutex turn_;
    std::mutex mutex_;
    std::condition_variable_any wakeUp_;
    double margin_; // the gap is this much longer than the rate asks
    Clock::duration interval_;
    Clock::time_point next_; // the earliest moment of the next start
    std::optional<Clock::time_point> widened_;
};

} // namespace documents
