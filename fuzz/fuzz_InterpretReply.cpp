// The reply interpreter on arbitrary bytes: it gives a text to show or throws TranslateFailure,
// never anything else; an error reply gives the error line, a success reply at least one line.

#include "FuzzCheck.h"

#include "client/ReplyInterpretation.h"
#include "client/TranslateFailure.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using fuzzcheck::require;
using fuzzcheck::shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    constexpr long kStatus = 200;
    try {
        const modQuorvel::TranslateReply reply = modQuorvel::InterpretReply(body, kStatus);
        if (reply.serviceError) {
            require(reply.text.startsWith(QStringLiteral("错误代码:")) &&
                        reply.text.size() > QStringLiteral("错误代码:").size(),
                    "an error reply gives the error line with its code",
                    "text " + shown(reply.text));
        }
    } catch (const modQuorvel::TranslateFailure& failure) {
        require(failure.reason() == modQuorvel::kUnrecognisedReply,
                "a 2xx reply that is not understood says so", "reason " + shown(failure.reason()));
    }
    // Any other exception leaves this function and libFuzzer reports it.
    return 0;
}
