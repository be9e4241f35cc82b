#include "documents/RatePacer.h"

namespace documents {

namespace {

// Requests do not all take the same time to reach the service after they start here: the gap
// is kept 2.5% longer than the rate asks, so that a slow arrival and a quick one a second later
// (up to 25 ms apart at any rate) still fall into different seconds of the service.
constexpr double kArrivalMargin = 1.025;
// A thread woken a little late keeps the cadence, so that the small delays of a busy machine
// do not add up into a lower rate; one later than this starts a new one.
constexpr std::chrono::milliseconds kCadenceTolerance{5};

} // namespace

RatePacer::RatePacer(double requestsPerSecond)
    : interval_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(kArrivalMargin / requestsPerSecond))) {}

bool RatePacer::acquire(const std::stop_token& stop) {
    // One thread at a time waits for the next moment; the others wait their turn without waking
    // at every start.
    const std::lock_guard turn(turn_);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stop.stop_requested())
            return false;
        const Clock::time_point now = Clock::now();
        if (now >= next_) {
            next_ = (now - next_ <= kCadenceTolerance ? next_ : now) + interval_;
            return true;
        }
        // Woken early only by `stop`: the next free moment is known.
        wakeUp_.wait_until(lock, stop, next_, [] { return false; });
        if (stop.stop_requested())
            return false;
    }
}

} // namespace documents
