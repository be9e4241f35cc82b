#pragma once

#include "client/ConnectionOptions.h"
#include "documents/RatePacer.h"
#include "documents/RequestBatch.h"

#include <QString>

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
};

// Sends the batch at the pacer's rate and places the results. Rate limits (54003, 54005),
// the service's own time-outs and system errors (52001, 52002), time-outs and dropped
// connections are retried after a growing, jittered wait, at most 4 times; a reply with
// another number of results than lines sent once. Any other failure ends it at once. A whole
// text's tries all end within the connection's total time-out.
ExchangeOutcome ExchangeBatch(const RequestBatch& batch, const Account& account, RatePacer& pacer,
                              std::minstd_rand& jitter, const std::stop_token& stop);

} // namespace documents
