#pragma once

#include "credentials/Credentials.h"
#include "platform/PrivateProfile.h"

#include <QString>

#include <optional>

namespace settings {

// Addresses that replace the service's real endpoints (the demo and end-to-end checks reach a
// local service this way). Quorvel reads them but never writes them.
struct ServiceEndpoints {
    std::optional<QString> http;
    std::optional<QString> https;
};

// Quorvel's settings, each named here once with its section, key, default and meaning. The
// object holds only the file's path: every member opens the file afresh through clsIniFile, so a
// write is in the file when it returns and a read sees the file as it then is. Writes return
// whether the file took the value.
class QuorvelSettings {
public:
    explicit QuorvelSettings(QString filePath) : filePath_(std::move(filePath)) {}
    const QString& filePath() const { return filePath_; }

    // Settings/Https: on when, trimmed of spaces and upper-cased, it is "TRUE" or "1"; written
    // as "TRUE" or "FALSE". Off when missing.
    bool https() const;
    bool setHttps(bool on) const;

    // Font/FontSize in points, read by the user's number format; nothing when missing or not a
    // number. Written with at most four decimals, no trailing zeros, digits alone for a whole
    // number of points.
    std::optional<double> fontSize() const;
    bool setFontSize(double points) const;

    // BaiDuKeyInfo/AppID as read and Secret_Key_Encode decoded under it, both from one read of
    // the file; nothing when either is missing, empty or blank.
    std::optional<modStrHexByte::Credentials> credentials() const;
    // Both in one write of the file: either both new values are stored or the file keeps its
    // earlier pair (and the result says why, with the error number of a Failed write in
    // `errorNumber` when given). The entries must have passed ProblemStoring (an App ID) and
    // encode (a key).
    platform::ProfileWrite setCredentials(const modStrHexByte::Credentials& credentials,
                                          int* errorNumber = nullptr) const;

    // Service/HttpEndpoint and Service/HttpsEndpoint, trimmed of spaces.
    ServiceEndpoints serviceEndpoints() const;

    // Service/QPS: the account's rate in requests per second (RequestsPerSecond); 1 (the
    // standard tier's rate) when missing, nothing when it holds anything but such a rate.
    std::optional<double> requestsPerSecond() const;

private:
    QString filePath_;
};

// The rates of requests per second a document may be sent at (Service/QPS, --qps): from one
// request in 100 seconds to ten times the fastest account's rate.
inline constexpr double kMinRequestsPerSecond = 0.01;
inline constexpr double kMaxRequestsPerSecond = 1000;
// `text`, trimmed of spaces, as a rate in that range; nothing for anything else (nan, inf).
std::optional<double> RequestsPerSecond(const QString& text);

// Why a value, once stored, would read back from the settings file as another text.
enum class StoreProblem {
    None,
    ZeroCharacter, // it would be cut short at the byte interface
    LineBreak,     // a line break ends the value in the file
    EdgeTab,       // reading strips tabs and vertical tabs at both ends
    OuterQuotes,   // reading strips one outer pair of quotes
    MarkerText,    // reading cannot tell it from a missing value
    NotInCodePage, // a character code page 936 cannot hold comes back as '?'
    TooLong,       // longer than one read brings back
};
StoreProblem ProblemStoring(const QString& value);

} // namespace settings
