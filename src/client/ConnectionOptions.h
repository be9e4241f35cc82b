#pragma once

#include <QString>

#include <chrono>
#include <stop_token>

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
};

} // namespace modQuorvel
