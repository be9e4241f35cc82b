#include "documents/BatchExchange.h"

#include "client/ServiceErrors.h"
#include "client/TranslateFailure.h"
#include "client/TranslateText.h"
#include "documents/DocumentTexts.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace documents {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr int kMaxRetries = 4;
constexpr milliseconds kFirstWait{500};      // doubled at every further retry
constexpr milliseconds kLongQueryWait{3000}; // the service asks for 3 s after 54005

// The wait before retry `retry` (1, 2, ...): doubling from kFirstWait, plus up to half again at
// random so that requests refused together do not come back together.
milliseconds BackOff(int retry, std::minstd_rand& jitter) {
    const milliseconds base = kFirstWait * (1 << (retry - 1));
    return base + milliseconds(jitter() % (base.count() / 2 + 1));
}

// Waits `wait`; false when `stop` comes first.
bool WaitUnlessStopped(milliseconds wait, const std::stop_token& stop) {
    std::mutex mutex;
    std::condition_variable_any never;
    std::unique_lock lock(mutex);
    return !never.wait_for(lock, stop, wait, [] { return false; }) && !stop.stop_requested();
}

} // namespace

ExchangeOutcome ExchangeBatch(const RequestBatch& batch, const Account& account, RatePacer& pacer,
                              platform::HttpConnection& connection, std::minstd_rand& jitter,
                              const std::stop_token& stop) {
    std::optional<Clock::time_point> sent;
    modQuorvel::ConnectionOptions options = account.connection;
    options.abandon = stop;
    options.connection = &connection;
    options.beforeSend = [&pacer, &stop, &sent] {
        if (!pacer.acquire(stop))
            return false;
        sent = Clock::now();
        return true;
    };
    // A text sent whole is one translation a person waits for: its tries share the time-out of
    // one request, so that a service that never answers fails it in that time, not once per try.
    std::optional<Clock::time_point> deadline;
    if (batch.wholeText)
        deadline = Clock::now() + account.connection.totalTimeout;
    ExchangeOutcome last;
    bool countRetried = false;
    for (int retry = 0;; ++retry) {
        if (deadline) {
            options.totalTimeout = std::chrono::ceil<milliseconds>(*deadline - Clock::now());
            if (options.totalTimeout <= milliseconds::zero())
                return last;
        }
        milliseconds leastWait{0};
        sent.reset();
        try {
            const modQuorvel::TranslateReply reply =
                modQuorvel::TranslateText(batch.q, account.from, account.to, account.appId,
                                          account.secretKey, account.https, options);
            const Clock::duration exchangeTime = Clock::now() - sent.value_or(Clock::now());
            if (reply.serviceError) {
                last = {ExchangeOutcome::ServiceError, reply.text, exchangeTime, reply.errorCode};
                if (!modQuorvel::IsRetriedCode(reply.errorCode))
                    return last;
                if (reply.errorCode == modQuorvel::kAccessLimitCode)
                    pacer.widenMargin();
                if (reply.errorCode == modQuorvel::kLongQueryLimitCode)
                    leastWait = kLongQueryWait;
            } else if (std::optional<QString> output = ComposeOutput(batch, reply.results)) {
                return {ExchangeOutcome::Done, std::move(*output), exchangeTime};
            } else {
                // Never shift the document: a reply that does not match gets one more try.
                last = {ExchangeOutcome::Failed,
                        kLineCountMismatch.arg(reply.results.size()).arg(batch.q.count(u'\n') + 1)};
                if (countRetried)
                    return last;
                countRetried = true;
            }
        } catch (const modQuorvel::TranslateFailure& failure) {
            if (stop.stop_requested())
                return {ExchangeOutcome::Stopped, {}};
            last = {ExchangeOutcome::Failed, failure.reason()};
            if (!failure.transient())
                return last;
        } catch (const std::exception&) {
            return {ExchangeOutcome::Failed, modQuorvel::kInternalError};
        }
        if (retry == kMaxRetries)
            return last;
        const milliseconds wait = std::max(leastWait, BackOff(retry + 1, jitter));
        if (deadline && Clock::now() + wait >= *deadline)
            return last;
        if (!WaitUnlessStopped(wait, stop))
            return {ExchangeOutcome::Stopped, {}};
    }
}

} // namespace documents
