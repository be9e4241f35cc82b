#pragma once

#include <QString>

#include <stdexcept>

namespace modQuorvel {

// The reason given for a reply that is not one the service gives.
inline const QString kUnrecognisedReply = QStringLiteral("回复无法识别");
// The reason given when the program itself failed (out of memory, say), not the exchange.
inline const QString kInternalError = QStringLiteral("翻译失败：程序内部错误");

// A translation that produced no text to show: the request failed on the way, or the reply was
// not one the service gives. The reason is a short Chinese text for the user. Transient failures
// (time-outs, dropped connections) are worth sending again.
class TranslateFailure : public std::runtime_error {
public:
    explicit TranslateFailure(const QString& reason, bool transient = false)
        : std::runtime_error(reason.toStdString()), reason_(reason), transient_(transient) {}
    QString reason() const { return reason_; }
    bool transient() const { return transient_; }

private:
    QString reason_;
    bool transient_;
};

} // namespace modQuorvel
