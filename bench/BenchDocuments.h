#pragma once

#include "standin/StandInService.h"

#include <QByteArray>

#include <vector>

// What the document benchmarks share: the document they send and how its arrivals are counted.
namespace bench {

// A mixed Chinese and English text of about `bytes` bytes: lines of 20 to 400 bytes, a blank
// line now and then, always the same.
QByteArray MixedDocument(qsizetype bytes);

// The most requests that arrived at the service within any one second.
int BusiestSecond(const std::vector<standin::RecordedRequest>& requests);

} // namespace bench
