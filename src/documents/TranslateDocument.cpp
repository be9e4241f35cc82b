#include "documents/TranslateDocument.h"

#include "documents/DocumentBatches.h"
#include "documents/DocumentSize.h"
#include "documents/DocumentTexts.h"
#include "documents/RequestPool.h"

#include <QFileDevice>

#include <algorithm>
#include <cmath>
#include <deque>

namespace documents {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kProgressInterval = 250ms;

// Workers to start with: requests in flight for two seconds at the full rate, so that the
// account's rate is reached from the start while one exchange takes up to two seconds (the pool
// adds workers when exchanges take longer).
int ThreadsFor(double requestsPerSecond) {
    return std::clamp(static_cast<int>(std::ceil(requestsPerSecond * 2)), 2, 32);
}

// The most workers: as many as wait five seconds at the rate, so that a worker waiting for its
// turn keeps well within a request's time-out, and never so many connections and threads that
// they weigh: 128 cover exchanges of a second at 100 a second.
int MostThreadsFor(double requestsPerSecond) {
    return std::clamp(static_cast<int>(std::ceil(requestsPerSecond * 5)), 2, 128);
}

// Batches read ahead of the ones being written: those in flight and as many waiting.
std::size_t MaxAhead(int workers) {
    return 2 * static_cast<std::size_t>(workers) + 2;
}

bool IsSent(const RequestBatch& batch) {
    return !batch.q.isEmpty() || batch.wholeText;
}

struct Totals {
    qint64 requests = 0;
    qint64 lines = 0;
};

// A file is read through once first, for the totals of the progress line (and to find text
// that is not UTF-8 before anything is sent); a stream is not.
std::optional<Totals> CountAhead(QIODevice& input, qsizetype maxBytes) {
    if (input.isSequential())
        return std::nullopt;
    const qint64 start = input.pos();
    Totals totals;
    DocumentBatches batches(input, maxBytes);
    while (const std::optional<RequestBatch> batch = batches.next()) {
        totals.requests += IsSent(*batch) ? 1 : 0;
        totals.lines += batch->lines;
    }
    if (!input.seek(start))
        throw InputError::Unreadable();
    return totals;
}

DocumentOutcome OutcomeOf(ExchangeOutcome::Kind kind) {
    switch (kind) {
    case ExchangeOutcome::ServiceError:
        return DocumentOutcome::ServiceError;
    case ExchangeOutcome::Failed:
        return DocumentOutcome::RequestFailed;
    case ExchangeOutcome::Done:
        return DocumentOutcome::Translated;
    case ExchangeOutcome::Stopped:
        break;
    }
    return DocumentOutcome::Cancelled;
}

// One document on its way: batches read ahead as far as the pool can take them, written in
// order as they end.
class DocumentRun {
public:
    DocumentRun(QIODevice& output, const DocumentJob& job, const ProgressReport& report)
        : output_(output), job_(job), report_(report) {}

    DocumentResult run(QIODevice& input, const std::stop_token& stop);

private:
    using Sent = std::pair<qint64, std::shared_ptr<PendingBatch>>; // a batch and its index
    // The pool sized for the document: its counted requests bound the workers.
    RequestPool makePool(const std::optional<Totals>& totals) const;
    // Reads batches until the pool has enough ahead or the input ends; an unreadable input ends
    // the document.
    std::optional<DocumentResult> readAhead(RequestPool& pool);
    // A batch read: answered by an earlier run, sent, or written as it is (blank lines).
    void admit(RequestBatch batch, RequestPool& pool);
    // Writes the batches at the front that have ended, in order; a failure ends the document.
    std::optional<DocumentResult> writeEnded(RequestPool& pool);
    // The answers that have arrived since the last call, counted and kept.
    void keepArrived(const RequestPool& pool);
    DocumentResult end(DocumentOutcome outcome, const QString& message = {},
                       const QString& errorCode = {});
    bool write(const QString& text);
    void report(bool always);

    QIODevice& output_;
    const DocumentJob& job_;
    const ProgressReport& report_;
    DocumentProgress progress_;
    std::optional<Clock::time_point> firstRequest_;
    Clock::time_point lastReport_;
    qint64 requestsResumed_ = 0;

    std::optional<DocumentBatches> batches_;
    std::deque<std::shared_ptr<PendingBatch>> ahead_; // read and not yet written, in order
    std::deque<Sent> unkept_;                         // sent and not yet kept
    qint64 requestsRead_ = 0;
    qint64 linesRead_ = 0;
    qint64 batchesRead_ = 0;
    bool allRead_ = false;
};

DocumentResult DocumentRun::run(QIODevice& input, const std::stop_token& stop) {
    std::optional<Totals> totals;
    try {
        totals = CountAhead(input, job_.maxRequestBytes);
        batches_.emplace(input, job_.maxRequestBytes);
    } catch (const InputError& error) {
        return end(DocumentOutcome::InputUnreadable, error.reason());
    }
    if (totals) {
        progress_.requestsTotal = totals->requests;
        progress_.linesTotal = totals->lines;
    }

    RequestPool pool = makePool(totals);
    for (;;) {
        if (std::optional<DocumentResult> unreadable = readAhead(pool))
            return *unreadable;
        keepArrived(pool);
        if (const std::optional<ExchangeOutcome> failure = pool.failure())
            return end(OutcomeOf(failure->kind), failure->text, failure->errorCode);
        if (std::optional<DocumentResult> unwritten = writeEnded(pool))
            return *unwritten;
        if (ahead_.empty() && allRead_)
            break;
        if (stop.stop_requested())
            return end(DocumentOutcome::Cancelled, kCancelled);
        report(false);
        pool.waitForOutcome(kProgressInterval, stop);
    }
    keepArrived(pool); // those that were written as soon as they arrived
    return end(DocumentOutcome::Translated);
}

RequestPool DocumentRun::makePool(const std::optional<Totals>& totals) const {
    int threads = ThreadsFor(job_.requestsPerSecond);
    int mostThreads = MostThreadsFor(job_.requestsPerSecond);
    if (totals) {
        threads = static_cast<int>(std::clamp<qint64>(totals->requests, 1, threads));
        mostThreads = static_cast<int>(std::clamp<qint64>(totals->requests, 1, mostThreads));
    }
    return RequestPool(threads, mostThreads, job_.account, job_.requestsPerSecond);
}

std::optional<DocumentResult> DocumentRun::readAhead(RequestPool& pool) {
    while (!allRead_ && ahead_.size() < MaxAhead(pool.workers())) {
        std::optional<RequestBatch> batch;
        try {
            batch = batches_->next();
        } catch (const InputError& error) {
            return end(DocumentOutcome::InputUnreadable, error.reason());
        }
        if (!batch) {
            progress_.requestsTotal = requestsRead_;
            progress_.linesTotal = linesRead_;
            allRead_ = true;
            break;
        }
        admit(std::move(*batch), pool);
    }
    return std::nullopt;
}

void DocumentRun::admit(RequestBatch batch, RequestPool& pool) {
    linesRead_ += batch.lines;
    const qint64 index = batchesRead_++;
    auto pending = std::make_shared<PendingBatch>(PendingBatch{std::move(batch), {}});
    const bool sent = IsSent(pending->batch);
    std::optional<QString> answered;
    if (sent && job_.answers != nullptr)
        answered = job_.answers->answered(index, pending->batch);
    if (answered) {
        ++requestsRead_;
        ++requestsResumed_;
        progress_.charactersResumed += CountCharacters(pending->batch.q);
        pending->outcome = {ExchangeOutcome::Done, *answered};
    } else if (sent) {
        ++requestsRead_;
        if (!firstRequest_)
            firstRequest_ = Clock::now();
        pool.submit(pending);
        unkept_.emplace_back(index, pending);
    } else {
        pending->outcome = {ExchangeOutcome::Done, *ComposeOutput(pending->batch, {})};
    }
    ahead_.push_back(std::move(pending));
}

std::optional<DocumentResult> DocumentRun::writeEnded(RequestPool& pool) {
    while (!ahead_.empty()) {
        const std::optional<ExchangeOutcome> outcome = pool.outcomeOf(*ahead_.front());
        if (!outcome)
            break;
        if (!write(outcome->text))
            return end(DocumentOutcome::OutputFailed, kOutputNotWritten + output_.errorString());
        progress_.linesDone += ahead_.front()->batch.lines;
        progress_.requestsDone += IsSent(ahead_.front()->batch) ? 1 : 0;
        ahead_.pop_front();
    }
    return std::nullopt;
}

void DocumentRun::keepArrived(const RequestPool& pool) {
    std::vector<KeptAnswer> arrived;
    for (auto sent = unkept_.begin(); sent != unkept_.end();) {
        const std::optional<ExchangeOutcome> outcome = pool.outcomeOf(*sent->second);
        if (!outcome) {
            ++sent;
            continue;
        }
        if (outcome->kind == ExchangeOutcome::Done) {
            progress_.charactersTranslated += CountCharacters(sent->second->batch.q);
            arrived.push_back({sent->first, &sent->second->batch, outcome->text});
        }
        sent = unkept_.erase(sent);
    }
    // Handed over together: the store writes and syncs them at once.
    if (job_.answers)
        job_.answers->keep(arrived);
}

DocumentResult DocumentRun::end(DocumentOutcome outcome, const QString& message,
                                const QString& errorCode) {
    report(true);
    return {outcome, message, errorCode, progress_};
}

bool DocumentRun::write(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (output_.write(bytes) != bytes.size())
        return false;
    // Standard output shows each line as soon as it is done.
    auto* file = qobject_cast<QFileDevice*>(&output_);
    return file == nullptr || file->flush();
}

void DocumentRun::report(bool always) {
    const Clock::time_point now = Clock::now();
    if (!always && now - lastReport_ < kProgressInterval)
        return;
    lastReport_ = now;
    const qint64 sentDone = progress_.requestsDone - requestsResumed_;
    if (firstRequest_ && sentDone > 0) {
        const std::chrono::duration<double> elapsed = now - *firstRequest_;
        progress_.requestsPerSecond =
            static_cast<double>(sentDone) / std::max(elapsed.count(), 0.001);
    }
    if (progress_.requestsTotal) {
        const double rate = progress_.requestsPerSecond > 0
                                ? std::min(progress_.requestsPerSecond, job_.requestsPerSecond)
                                : job_.requestsPerSecond;
        const auto left = static_cast<double>(*progress_.requestsTotal - progress_.requestsDone);
        progress_.timeLeft = std::chrono::seconds(static_cast<qint64>(std::ceil(left / rate)));
    }
    if (report_)
        report_(progress_);
}

} // namespace

DocumentResult TranslateDocument(QIODevice& input, QIODevice& output, const DocumentJob& job,
                                 const ProgressReport& report, const std::stop_token& stop) {
    return DocumentRun(output, job, report).run(input, stop);
}

} // namespace documents
