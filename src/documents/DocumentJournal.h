#pragma once

#include "documents/AnswerStore.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

class QIODevice;

namespace documents {

// The answers of one document's run, kept in a file as they arrive, so that the same command run
// again after a stop or a kill sends only what was not answered yet.
//
// The file: a header (kMagic, the run's identity) and then records, each
//   u32 length of the payload, 8 bytes of SHA-256 of the payload, the payload:
//   i64 index of the batch, 8 bytes of SHA-256 of the batch's q, the output as UTF-8
// (integers little-endian). Each write is followed by fdatasync, so a record that is read back
// was whole on the disk; a last record cut short by a kill fails its length or its checksum and
// is dropped, with everything after it. Created afresh with mode 0600: it holds the document.
//
// The records are written and synced by a thread of their own, all that arrived meanwhile in one
// write, so that a slow disk never holds up the document: an answer is on the disk a sync after
// it arrived.
class DocumentJournal final : public AnswerStore {
public:
    // Reads the journal at `path` when it belongs to the run `identity` (RunIdentity) and
    // `reuse` is set; otherwise it keeps nothing old and a new file replaces the old one at the
    // first answer. Reads nothing but the records' places: answers are read as they are asked
    // for.
    DocumentJournal(QString path, QByteArray identity, bool reuse = true);
    ~DocumentJournal() override;
    DocumentJournal(const DocumentJournal&) = delete;
    DocumentJournal& operator=(const DocumentJournal&) = delete;

    std::optional<QString> answered(qint64 index, const RequestBatch& batch) override;
    void keep(std::span<const KeptAnswer> answers) override;

    QString path() const { return path_; }
    // Answers found from earlier runs.
    qsizetype resumable() const { return static_cast<qsizetype>(records_.size()); }
    // Once all answers kept so far are on the disk: why answers could not be kept, or empty.
    QString error();
    // The document is done: the journal goes. False when it could not be removed.
    bool remove();

private:
    struct Place {
        qint64 offset = 0; // of the output text
        qint64 size = 0;
        QByteArray question; // the q hash
    };
    void load();
    void write(); // the writer thread
    bool create();
    QString described(const QString& what) const; // with the path and errno's reason
    void fail(const QString& why);
    void stopWriting();

    QString path_;
    QByteArray identity_;
    // Read by answered(), written only before the writer starts: a new file is created only
    // when no old records were found.
    std::unordered_map<qint64, Place> records_;
    int fd_ = -1;    // the writer's once it runs
    qint64 end_ = 0; // where the next record goes

    std::mutex mutex_; // guards what follows
    std::condition_variable changed_;
    QByteArray unwritten_;
    bool writing_ = false; // a write and its sync under way
    bool closing_ = false;
    QString error_;
    std::thread writer_;
};

// What identifies a run: the input's bytes (read from its current position to the end, then
// sought back), the language codes, the output's canonical path and the size of the requests.
// Throws InputError.
QByteArray RunIdentity(QIODevice& input, const QString& from, const QString& to,
                       const QString& canonicalOutput, qsizetype maxRequestBytes);

// The output's path with its folder's symbolic links and "." and ".." resolved.
QString CanonicalOutputPath(const QString& output);

// Where the journal of the output lies: hidden beside it (".chapter.zh.txt.quorvel-journal"),
// or, when its folder cannot be written, in the user's cache folder ($XDG_CACHE_HOME when it is
// an absolute path, else ~/.cache), under quorvel/, named by a hash of the output's path.
// Empty when neither can be written.
QString JournalPathFor(const QString& canonicalOutput);

} // namespace documents
