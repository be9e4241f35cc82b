#pragma once

#include "client/ConnectionOptions.h"
#include "client/ReplyInterpretation.h"

#include <QString>

namespace modQuorvel {

// One signed POST to the translation service (HTTPS endpoint when `https`), blocking until the
// reply is read. Gives the text to show: the translated lines, or the service's error line with
// serviceError set. Throws TranslateFailure when the request fails or the reply is not
// recognised.
TranslateReply TranslateText(const QString& source, const QString& from, const QString& to,
                             const QString& appId, const QString& secretKey, bool https,
                             const ConnectionOptions& options = {});

} // namespace modQuorvel
