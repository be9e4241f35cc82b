#pragma once

#include "client/ClientTexts.h"

#include <QString>

#include <stdexcept>

namespace modQuorvel {

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
