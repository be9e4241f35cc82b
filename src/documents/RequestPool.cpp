#include "documents/RequestPool.h"

namespace documents {

RequestPool::RequestPool(int threads, Account account, double requestsPerSecond)
    : account_(std::move(account)), pacer_(requestsPerSecond) {
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

RequestPool::~RequestPool() {
    stopping_.request_stop();
    for (std::thread& thread : threads_)
        thread.join();
}

void RequestPool::submit(std::shared_ptr<PendingBatch> pending) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(pending));
    }
    jobsWaiting_.notify_one();
}

std::optional<ExchangeOutcome> RequestPool::outcomeOf(const PendingBatch& pending) const {
    const std::lock_guard lock(mutex_);
    return pending.outcome;
}

std::optional<ExchangeOutcome> RequestPool::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

void RequestPool::waitForOutcome(std::chrono::milliseconds timeout, const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    const qint64 seen = outcomes_;
    outcomeReady_.wait_for(lock, stop, timeout, [&] { return outcomes_ != seen; });
}

void RequestPool::work() {
    const std::stop_token stop = stopping_.get_token();
    std::minstd_rand jitter{std::random_device{}()};
    for (;;) {
        std::shared_ptr<PendingBatch> pending;
        {
            std::unique_lock lock(mutex_);
            if (!jobsWaiting_.wait(lock, stop, [this] { return !jobs_.empty(); }))
                return;
            pending = std::move(jobs_.front());
            jobs_.pop_front();
        }
        ExchangeOutcome outcome = ExchangeBatch(pending->batch, account_, pacer_, jitter, stop);
        bool failed = false;
        {
            const std::lock_guard lock(mutex_);
            if (outcome.kind != ExchangeOutcome::Done && !failure_)
                failure_ = outcome;
            failed = failure_.has_value();
            pending->outcome = std::move(outcome);
            ++outcomes_;
        }
        outcomeReady_.notify_all();
        if (failed)
            stopping_.request_stop(); // the document ends: no more requests
    }
}

} // namespace documents
