#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// A request that did not get a reply: name not found, refused, TLS, time-out, connection closed.
// The description is a short Chinese text meant for the user. A transient failure (a time-out, a
// connection dropped on the way) may well succeed when the request is sent again.
class HttpError : public std::runtime_error {
public:
    explicit HttpError(const QString& description, bool transient = false)
        : std::runtime_error(description.toStdString()), description_(description),
          transient_(transient) {}
    QString description() const { return description_; }
    bool transient() const { return transient_; }

private:
    QString description_;
    bool transient_;
};

} // namespace platform
