#pragma once

#include "client/TranslateFailure.h"
#include "standin/StandInService.h"

#include <QString>
#include <QUrlQuery>

#include <functional>

// The account the tests' stand-in services know, what they were sent, and the reason a
// translation failed.
namespace testsupport {

inline const QString kAppId = QStringLiteral("20260101000000001");
inline const QString kKey = QStringLiteral("QuorvelTestKey01");

inline standin::ServiceOptions TestAccount(int maxRequestsPerSecond = 0) {
    standin::ServiceOptions options;
    options.accounts = {{kAppId.toStdString(), kKey.toStdString()}};
    options.maxRequestsPerSecond = maxRequestsPerSecond;
    return options;
}

// One field of a recorded form body, decoded; "<missing>" when the body has no such field.
inline QString FormField(const std::string& body, const QString& name) {
    const QUrlQuery form(QString::fromStdString(body).replace(u'+', QStringLiteral("%20")));
    return form.hasQueryItem(name) ? form.queryItemValue(name, QUrl::FullyDecoded)
                                   : QStringLiteral("<missing>");
}

// The reason `action` failed with, or "(no failure)".
inline QString FailureReason(const std::function<void()>& action) {
    try {
        action();
    } catch (const modQuorvel::TranslateFailure& failure) {
        return failure.reason();
    }
    return QStringLiteral("(no failure)");
}

} // namespace testsupport
