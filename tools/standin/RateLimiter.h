#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace standin {

// Admits at most `maxPerSecond` requests of one App ID within any one second (a sliding window,
// so a quick burst is refused however it falls on the clock). 0 admits everything. Thread-safe.
class RateLimiter {
public:
    explicit RateLimiter(int maxPerSecond);

    // Records the request and returns true, or returns false (not recorded) past the limit.
    bool admit(const std::string& appid);

private:
    using Clock = std::chrono::steady_clock;

    const int maxPerSecond_;
    std::mutex mutex_;
    std::map<std::string, std::deque<Clock::time_point>> admitted_;
};

} // namespace standin
