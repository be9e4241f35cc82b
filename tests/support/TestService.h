#pragma once

#include "client/TranslateFailure.h"
#include "standin/StandInService.h"

#include <QString>

#include <functional>

// The account the tests' stand-in services know, and the reason a translation failed.
namespace testsupport {

inline const QString kAppId = QStringLiteral("20260101000000001");
inline const QString kKey = QStringLiteral("QuorvelTestKey01");

inline standin::ServiceOptions TestAccount(int maxRequestsPerSecond = 0) {
    return {{{kAppId.toStdString(), kKey.toStdString()}}, maxRequestsPerSecond, {}, {}};
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
