#include "documents/RequestPool.h"

#include "platform/HttpConnection.h"

#include <algorithm>
#include <cmath>

namespace documents {

namespace {

// Workers beyond the requests in flight at the measured time of an exchange: answers that take
// longer than the average, and the worker that waits for the pacer.
constexpr double kInFlightMargin = 1.25;
constexpr int kSpareWorkers = 1;
// The weight of the latest exchange in the running average.
constexpr double kLatestWeight = 0.2;

} // namespace

RequestPool::RequestPool(int threads, int mostThreads, Account account, double requestsPerSecond)
    : account_(std::move(account)), trusted_(std::make_shared<platform::TrustedCertificates>()),
      requestsPerSecond_(requestsPerSecond), mostThreads_(std::max(threads, mostThreads)),
      pacer_(requestsPerSecond) {
    const std::lock_guard lock(mutex_);
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

RequestPool::~RequestPool() {
    stopping_.request_stop();
    std::vector<std::thread> threads;
    {
        // No worker is added once stopping: growFor looks under the same lock.
        const std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (std::thread& thread : threads)
        thread.join();
}

int RequestPool::workers() const {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(threads_.size());
}

void RequestPool::growFor(std::chrono::steady_clock::duration exchangeTime) {
    if (exchangeTime <= std::chrono::steady_clock::duration::zero())
        return;
    const double seconds = std::chrono::duration<double>(exchangeTime).count();
    exchangeSeconds_ = exchangeSeconds_ == 0
                           ? seconds
                           : (1 - kLatestWeight) * exchangeSeconds_ + kLatestWeight * seconds;
    const int needed =
        static_cast<int>(std::ceil(requestsPerSecond_ * exchangeSeconds_ * kInFlightMargin)) +
        kSpareWorkers;
    // All at once: each new worker pays its handshakes before it sends anything.
    const int wanted = std::min(needed, mostThreads_) - static_cast<int>(threads_.size());
    if (stopping_.stop_requested())
        return;
    for (int i = 0; i < std::min<int>(wanted, static_cast<int>(jobs_.size())); ++i)
        threads_.emplace_back([this] { work(); });
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
    platform::HttpConnection connection(trusted_);
    for (;;) {
        std::shared_ptr<PendingBatch> pending;
        {
            std::unique_lock lock(mutex_);
            if (!jobsWaiting_.wait(lock, stop, [this] { return !jobs_.empty(); }))
                return;
            pending = std::move(jobs_.front());
            jobs_.pop_front();
        }
        ExchangeOutcome outcome =
            ExchangeBatch(pending->batch, account_, pacer_, connection, jitter, stop);
        bool failed = false;
        {
            const std::lock_guard lock(mutex_);
            if (outcome.kind != ExchangeOutcome::Done && !failure_)
                failure_ = outcome;
            failed = failure_.has_value();
            growFor(outcome.exchangeTime);
            pending->outcome = std::move(outcome);
            ++outcomes_;
        }
        outcomeReady_.notify_all();
        if (failed)
            stopping_.request_stop(); // the document ends: no more requests
    }
}

} // namespace documents
