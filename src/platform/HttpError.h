#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// A request that did not get a reply: name not found, refused, TLS, time-out, connection closed.
// The description is a short Chinese text meant for the user.
class HttpError : public std::runtime_error {
public:
    explicit HttpError(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    QString description() const { return description_; }

private:
    QString description_;
};

} // namespace platform
