#pragma once

#include "client/ConnectionOptions.h"
#include "client/ReplyInterpretation.h"

#include <QString>

namespace modQuorvel {

// One signed POST to the translation service (HTTPS endpoint when `https`), blocking until the
// reply is read. Throws TranslateFailure when the request fails or the reply is not recognised.
TranslateReply RequestTranslation(const QString& source, const QString& from, const QString& to,
                                  const QString& appId, const QString& secretKey, bool https,
                                  const ConnectionOptions& options = {});

// The text to show for a translation: the translated lines or the service's error line.
QString TranslateText(const QString& source, const QString& from, const QString& to,
                      const QString& appId, const QString& secretKey, bool https,
                      const ConnectionOptions& options = {});

} // namespace modQuorvel
