#pragma once

#include "platform/HttpConnection.h"
#include "platform/HttpError.h"

#include <QByteArray>
#include <QString>
#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace platform {

// One HTTP request over libcurl's easy interface, in the shape of the Windows WinHttpRequest
// object: set the options, Open, SetRequestHeader, Send (blocking), then read the reply.
// One object per request. HTTPS always verifies the server's certificate and host name against
// the system's CA store (plus an extra CA file when one is given). Proxy settings from the
// environment are not used. Every failure to get a reply throws HttpError.
class WinHttpRequest {
public:
    // With a connection, the request goes over it (and waits until no other request uses it);
    // without one, over a connection of its own that ends with it.
    explicit WinHttpRequest(HttpConnection* connection = nullptr);
    ~WinHttpRequest();
    WinHttpRequest(const WinHttpRequest&) = delete;
    WinHttpRequest& operator=(const WinHttpRequest&) = delete;

    // Redirects are not followed unless this turns them on; a redirect is then read as a reply.
    void SetFollowRedirects(bool follow);
    // Trusts the certificates of this PEM file as well as the system's store.
    void TrustExtraCaFile(const QString& pemFile);
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total);
    // A reply body longer than this many bytes is not read on: Send throws HttpError. 0, the
    // default, sets no limit.
    void SetMaxResponseSize(qint64 bytes);
    // The object's Abort, from any thread: once `stop` is requested, Send gives up within a
    // second or so and throws HttpError.
    void AbortOn(std::stop_token stop);
    // Called once the connection is open, just before the request's bytes go out (again when
    // the request goes out again on a fresh connection); returning false abandons the request.
    void SetBeforeSend(std::function<bool()> beforeSend);

    // Throws HttpError for an address that is not an http or https URL with a host.
    void Open(const QString& method, const QString& url);
    void SetRequestHeader(const QString& name, const QString& value);
    // Returns when the whole reply has arrived.
    void Send(const QByteArray& body = {});

    long Status() const { return status_; }
    const QByteArray& ResponseBody() const { return response_.body; }

private:
    struct CurlDeleter {
        void operator()(CURL* handle) const;
    };
    struct HeaderListDeleter {
        void operator()(curl_slist* list) const;
    };

    // Where libcurl's write callback puts the reply body.
    struct ResponseSink {
        QByteArray body;
        qint64 limit = 0;
        bool overLimit = false;
    };

    template <typename Value> void SetOption(CURLoption option, Value value);
    // The connection's certificates, loaded once for all its requests, in place of libcurl's
    // loading of the CA files for every new TLS connection.
    void UseConnectionCertificates();
    static size_t AppendToBody(char* data, size_t size, size_t count, void* sink);

    HttpConnection* connection_;
    std::unique_lock<std::mutex> using_; // the connection, while this request lives
    std::unique_ptr<CURL, CurlDeleter> ownHandle_;
    CURL* handle_ = nullptr;
    std::unique_ptr<curl_slist, HeaderListDeleter> headers_;
    QByteArray method_;
    ResponseSink response_;
    std::stop_token abort_;
    std::function<bool()> beforeSend_;
    QString extraCaFile_, systemBundle_, systemFolder_;
    long status_ = 0;
};

} // namespace platform
