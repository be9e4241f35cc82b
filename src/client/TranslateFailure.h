#pragma once

#include <QString>

#include <stdexcept>

namespace modQuorvel {

// The reason given for a reply that is not one the service gives.
inline const QString kUnrecognisedReply = QStringLiteral("回复无法识别");

// A translation that produced no text to show: the request failed on the way, or the reply was
// not one the service gives. The reason is a short Chinese text for the user.
class TranslateFailure : public std::runtime_error {
public:
    explicit TranslateFailure(const QString& reason)
        : std::runtime_error(reason.toStdString()), reason_(reason) {}
    QString reason() const { return reason_; }

private:
    QString reason_;
};

} // namespace modQuorvel
