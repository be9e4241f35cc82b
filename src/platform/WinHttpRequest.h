#pragma once

#include "platform/HttpError.h"

#include <QByteArray>
#include <QString>
#include <curl/curl.h>

#include <chrono>
#include <memory>

namespace platform {

// One HTTP request over libcurl's easy interface, in the shape of the Windows WinHttpRequest
// object: set the options, Open, SetRequestHeader, Send (blocking), then read the reply.
// One object per request. HTTPS always verifies the server's certificate and host name against
// the system's CA store (plus an extra CA file when one is given). Proxy settings from the
// environment are not used. Every failure to get a reply throws HttpError.
class WinHttpRequest {
public:
    WinHttpRequest();
    ~WinHttpRequest();
    WinHttpRequest(const WinHttpRequest&) = delete;
    WinHttpRequest& operator=(const WinHttpRequest&) = delete;

    // Redirects are not followed unless this turns them on; a redirect is then read as a reply.
    void SetFollowRedirects(bool follow);
    // Trusts the certificates of this PEM file as well as the system's store.
    void TrustExtraCaFile(const QString& pemFile);
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total);

    void Open(const QString& method, const QString& url);
    void SetRequestHeader(const QString& name, const QString& value);
    // Returns when the whole reply has arrived.
    void Send(const QByteArray& body = {});

    long Status() const { return status_; }
    const QByteArray& ResponseBody() const { return responseBody_; }
    QString ResponseText() const { return QString::fromUtf8(responseBody_); }

private:
    struct CurlDeleter {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    struct HeaderListDeleter {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    template <typename Value> void SetOption(CURLoption option, Value value);

    std::unique_ptr<CURL, CurlDeleter> handle_;
    std::unique_ptr<curl_slist, HeaderListDeleter> headers_;
    QByteArray method_;
    QByteArray responseBody_;
    long status_ = 0;
};

} // namespace platform
