#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <stop_token>

namespace platform {
class HttpConnection;
}

namespace modQuorvel {

inline const QString kHttpEndpoint =
    QStringLiteral("http://api.fanyi.baidu.com/api/trans/vip/translate");
inline const QString kHttpsEndpoint =
    QStringLiteral("https://fanyi-api.baidu.com/api/trans/vip/translate");

// The most the service takes in q of one request, in UTF-8 bytes (about 2000 Chinese characters).
inline constexpr qsizetype kLongestQuery = 6000;

// Where and how a translation request goes. The defaults are the real service's.
struct ConnectionOptions {
    QString httpEndpoint = kHttpEndpoint;
    QString httpsEndpoint = kHttpsEndpoint;
    QString extraCaFile; // a PEM file trusted in addition to the system's CA store
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{30000};
    // A reply to the longest text the service takes is some 100 KB. One far beyond that is
    // refused rather than held in memory and laid out in the window.
    qint64 maxReplyBytes = qint64{4} * 1024 * 1024;
    // Once requested, a request under way is abandoned (a document stopped by Ctrl+C).
    std::stop_token abandon;
    // The connection to send over and to keep open for the next request; it must outlive the
    // call. None: a connection of the request's own, closed when the request ends.
    platform::HttpConnection* connection = nullptr;
    // Called once the connection is open, just before the request goes out (again if it goes
    // out again on a fresh connection); false abandons the request. A document's pacer waits
    // here, so that sends keep the rate, whatever the time to connect.
    std::function<bool()> beforeSend;
};

} // namespace modQuorvel
