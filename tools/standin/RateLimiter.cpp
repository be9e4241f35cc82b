#include "standin/RateLimiter.h"

namespace standin {

RateLimiter::RateLimiter(int maxPerSecond) : maxPerSecond_(maxPerSecond) {}

bool RateLimiter::admit(const std::string& appid) {
    if (maxPerSecond_ <= 0)
        return true;
    const Clock::time_point now = Clock::now();
    const std::lock_guard lock(mutex_);
    std::deque<Clock::time_point>& times = admitted_[appid];
    while (!times.empty() && now - times.front() >= std::chrono::seconds(1))
        times.pop_front();
    if (times.size() >= static_cast<std::size_t>(maxPerSecond_))
        return false;
    times.push_back(now);
    return true;
}

} // namespace standin
