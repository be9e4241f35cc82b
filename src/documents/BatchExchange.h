#pragma once

#include "client/ConnectionOptions.h"
#include "documents/RatePacer.h"
#include "documents/RequestBatch.h"

namespace platform {
class HttpConnection;
}

#include <QString>

#include <chrono>
#include <random>
#include <stop_token>

namespace documents {

// What is sent for every request of a document.
struct Account {
    QString from, to, appId, secretKey;
    bool https = false;
    modQuorvel::ConnectionOptions connection;
};

// How one batch ended. `text`: the output with the translations in place (Done), the
// service's error line (ServiceError), or the reason (Failed).
struct ExchangeOutcome {
    enum Kind { Done, ServiceError, Failed, Stopped } kind = Stopped;
    QString text;
    // From the moment the last try went out to its answer; zero when it did not go out.
    std::chrono::steady_clock::duration exchangeTime{};
    QString errorCode{}; // the service's code (ServiceError)
};

// Sends the batch over `connection` at the pacer's rate (each try waits for the pacer once the
// connection is open, just before it goes out) and places the results. An answer 54003 widens
// the pacer's margin; 54005 waits at least 3 s. The service's codes marked retried
// (modQuorvel::IsRetriedCode), time-outs and dropped
// connections are retried after a growing, jittered wait, at most 4 times; a reply with
// another number of results than lines sent once. Any other failure ends it at once. A whole
// text's tries all end within the connection's total time-out.
ExchangeOutcome ExchangeBatch(const RequestBatch& batch, const Account& account, RatePacer& pacer,
                              platform::HttpConnection& connection, std::minstd_rand& jitter,
                              const std::stop_token& stop);

} // namespace documents
