#include "documents/RatePacer.h"

#include <algorithm>

namespace documents {

namespace {

// Requests do not all take the same time to reach the service after they leave here: the gap
// is kept 2.5% longer than the rate asks, so that a slow arrival and a quick one a second later
// (up to 25 ms apart at any rate) still fall into different seconds of the service.
constexpr double kArrivalMargin = 1.025;
// Each answer 54003 widens the margin this much (a network that varies by 40 ms more needs
// 4% at 10 a second), up to kWidestMargin.
constexpr double kMarginStep = 0.02;
constexpr double kWidestMargin = 1.10;
// A thread woken a little late keeps the cadence, so that the small delays of a busy machine
// do not add up into a lower rate; one later than this starts a new one.
constexpr std::chrono::milliseconds kCadenceTolerance{5};
constexpr std::chrono::seconds kOneSecond{1};

RatePacer::Clock::duration IntervalFor(double requestsPerSecond, double margin) {
    return std::chrono::duration_cast<RatePacer::Clock::duration>(
        std::chrono::duration<double>(margin / requestsPerSecond));
}

} // namespace

RatePacer::RatePacer(double requestsPerSecond)
    : requestsPerSecond_(requestsPerSecond), margin_(kArrivalMargin),
      interval_(IntervalFor(requestsPerSecond, kArrivalMargin)) {}

void RatePacer::widenMargin() {
    const std::lock_guard lock(mutex_);
    // Refusals of one crowded second, answered together, widen it once.
    const Clock::time_point now = Clock::now();
    if (widened_ && now - *widened_ < kOneSecond)
        return;
    widened_ = now;
    const double wider = std::min(margin_ + kMarginStep, kWidestMargin);
    next_ += IntervalFor(requestsPerSecond_, wider) - interval_;
    margin_ = wider;
    interval_ = IntervalFor(requestsPerSecond_, wider);
}

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
