#include "client/ServiceEndpoints.h"

#include "client/ClientTexts.h"

#include <QUrl>

namespace modQuorvel {

namespace {

// localhost, ::1 or 127.x.y.z, written as QUrl writes a host.
bool IsLoopbackHost(const QString& host) {
    if (host == QLatin1String("localhost") || host == QLatin1String("::1"))
        return true;
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4 || parts.front() != QLatin1String("127"))
        return false;
    for (const QString& part : parts) {
        bool number = false;
        if (part.toUInt(&number) > 255 || !number)
            return false;
    }
    return true;
}

} // namespace

std::optional<QString> RefusalOfHttpsEndpoint(const QString& endpoint) {
    const QUrl url(endpoint);
    if (url.scheme() == QLatin1String("https") || IsLoopbackHost(url.host()))
        return std::nullopt;
    return kPlainHttpsEndpoint + endpoint;
}

} // namespace modQuorvel
