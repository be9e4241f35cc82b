#pragma once

#include "standin/StandInService.h"

#include <QByteArray>
#include <QString>

#include <vector>

// What the document benchmarks share: the account, the document they send and how its arrivals
// are counted.
namespace bench {

// The stand-in's account the benchmarks send as.
inline const QString kAppId = QStringLiteral("2015063000000001");
inline const QString kSecretKey = QStringLiteral("12345678");

// A mixed Chinese and English text of about `bytes` bytes: lines of 20 to 400 bytes, a blank
// line now and then, always the same.
QByteArray MixedDocument(qsizetype bytes);

// The most requests that arrived at the service within any one second.
int BusiestSecond(const std::vector<standin::RecordedRequest>& requests);

} // namespace bench
