#pragma once

#include "documents/BatchExchange.h"
#include "documents/RatePacer.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace platform {
class TrustedCertificates;
}

namespace documents {

// A batch on its way, and how it ended once it has.
struct PendingBatch {
    RequestBatch batch;
    std::optional<ExchangeOutcome> outcome; // guarded by the pool
};

// Workers, each sending one batch at a time over a connection of its own kept for all its
// requests, all through one pacer: as many requests in flight as the rate and the measured time
// of an exchange need. It starts with `threads` and adds workers, up to `mostThreads`, while
// exchanges take longer than those can cover at the rate.
class RequestPool {
public:
    RequestPool(int threads, int mostThreads, Account account, double requestsPerSecond);
    ~RequestPool(); // stops: no new request starts; those under way are waited for
    RequestPool(const RequestPool&) = delete;
    RequestPool& operator=(const RequestPool&) = delete;

    void submit(std::shared_ptr<PendingBatch> pending);
    std::optional<ExchangeOutcome> outcomeOf(const PendingBatch& pending) const;
    // The first failure of any batch: the document cannot be completed.
    std::optional<ExchangeOutcome> failure() const;
    // Returns when another batch has ended, after `timeout`, or at `stop`.
    void waitForOutcome(std::chrono::milliseconds timeout, const std::stop_token& stop);
    int workers() const;

private:
    void work();
    // Adds the workers that the exchanges measured so far need, as far as there are batches
    // waiting for them (under mutex_).
    void growFor(std::chrono::steady_clock::duration exchangeTime);

    const Account account_;
    // Loaded once for all the workers' connections.
    const std::shared_ptr<platform::TrustedCertificates> trusted_;
    const double requestsPerSecond_;
    const int mostThreads_;
    RatePacer pacer_;
    std::stop_source stopping_;
    mutable std::mutex mutex_;
    std::condition_variable_any jobsWaiting_;
    std::condition_variable_any outcomeReady_;
    std::deque<std::shared_ptr<PendingBatch>> jobs_;
    std::optional<ExchangeOutcome> failure_;
    qint64 outcomes_ = 0;
    double exchangeSeconds_ = 0; // a running average of the time of one exchange
    std::vector<std::thread> threads_;
};

} // namespace documents
