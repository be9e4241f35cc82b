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

namespace documents {

// A batch on its way, and how it ended once it has.
struct PendingBatch {
    RequestBatch batch;
    std::optional<ExchangeOutcome> outcome; // guarded by the pool
};

// A fixed number of threads, each sending one batch at a time through one pacer: as many
// requests in flight as the rate and the service's latency need, and never more.
class RequestPool {
public:
    RequestPool(int threads, Account account, double requestsPerSecond);
    ~RequestPool(); // stops: no new request starts; those under way are waited for
    RequestPool(const RequestPool&) = delete;
    RequestPool& operator=(const RequestPool&) = delete;

    void submit(std::shared_ptr<PendingBatch> pending);
    std::optional<ExchangeOutcome> outcomeOf(const PendingBatch& pending) const;
    // The first failure of any batch: the document cannot be completed.
    std::optional<ExchangeOutcome> failure() const;
    // Returns when another batch has ended, after `timeout`, or at `stop`.
    void waitForOutcome(std::chrono::milliseconds timeout, const std::stop_token& stop);

private:
    void work();

    const Account account_;
    RatePacer pacer_;
    std::stop_source stopping_;
    mutable std::mutex mutex_;
    std::condition_variable_any jobsWaiting_;
    std::condition_variable_any outcomeReady_;
    std::deque<std::shared_ptr<PendingBatch>> jobs_;
    std::optional<ExchangeOutcome> failure_;
    qint64 outcomes_ = 0;
    std::vector<std::thread> threads_;
};

} // namespace documents
