#include "documents/BatchExchange.h"

#include "client/ServiceErrors.h"
#include "client/TranslateFailure.h"
#include "client/TranslateText.h"
#include "documents/DocumentTexts.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

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

// What one try gave, and whether another try may mend it.
struct Try {
    ExchangeOutcome outcome;
    bool again = false;
    milliseconds leastWait{0}; // before the next try
};

Try ServiceErrorTry(const modQuorvel::TranslateReply& reply, Clock::duration exchangeTime,
                    RatePacer& pacer) {
    Try answered{{ExchangeOutcome::ServiceError, reply.text, exchangeTime, reply.errorCode},
                 modQuorvel::IsRetriedCode(reply.errorCode)};
    if (reply.errorCode == modQuorvel::kAccessLimitCode)
        pacer.widenMargin();
    if (reply.errorCode == modQuorvel::kLongQueryLimitCode)
        answered.leastWait = kLongQueryWait;
    return answered;
}

// One request of `batch`; `sent` is when it went out (set by the options' beforeSend).
// `mismatchTried`: a reply that did not match has already had its one more try.
Try OneTry(const RequestBatch& batch, const Account& account,
           const modQuorvel::ConnectionOptions& options, RatePacer& pacer,
           const std::optional<Clock::time_point>& sent, bool& mismatchTried,
           const std::stop_token& stop) {
    try {
        const modQuorvel::TranslateReply reply =
            modQuorvel::TranslateText(batch.q, account.from, account.to, account.appId,
                                      account.secretKey, account.https, options);
        const Clock::duration exchangeTime = Clock::now() - sent.value_or(Clock::now());
        if (reply.serviceError)
            return ServiceErrorTry(reply, exchangeTime, pacer);
        if (std::optional<QString> output = ComposeOutput(batch, reply.results))
            return {{ExchangeOutcome::Done, std::move(*output), exchangeTime}};
        // Never shift the document: a reply that does not match gets one more try.
        const bool again = !std::exchange(mismatchTried, true);
        return {{ExchangeOutcome::Failed,
                 kLineCountMismatch.arg(reply.results.size()).arg(batch.q.count(u'\n') + 1)},
                again};
    } catch (const modQuorvel::TranslateFailure& failure) {
        if (stop.stop_requested())
            return {{ExchangeOutcome::Stopped, {}}};
        return {{ExchangeOutcome::Failed, failure.reason()}, failure.transient()};
    } catch (const std::exception&) {
        return {{ExchangeOutcome::Failed, modQuorvel::kInternalError}};
    }
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
    bool mismatchTried = false;
    for (int retry = 0;; ++retry) {
        if (deadline) {
            options.totalTimeout = std::chrono::ceil<milliseconds>(*deadline - Clock::now());
            if (options.totalTimeout <= milliseconds::zero())
                return last;
        }
        sent.reset();
        Try tried = OneTry(batch, account, options, pacer, sent, mismatchTried, stop);
        last = std::move(tried.outcome);
        if (!tried.again || retry == kMaxRetries)
            return last;
        const milliseconds wait = std::max(tried.leastWait, BackOff(retry + 1, jitter));
        if (deadline && Clock::now() + wait >= *deadline)
            return last;
        if (!WaitUnlessStopped(wait, stop))
            return {ExchangeOutcome::Stopped, {}};
    }
}

} // namespace documents
