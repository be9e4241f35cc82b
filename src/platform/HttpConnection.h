#pragma once

#include "platform/TrustedCertificates.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace platform {

// A connection to a service kept from one request to the next, as a Windows WinHttpRequest
// object keeps its own: a libcurl handle whose open connection (HTTP/1.1 keep-alive), TLS session
// and loaded certificate store serve every WinHttpRequest opened on it. A connection the server
// has closed meanwhile is opened afresh by the next request. One request uses it at a time: a
// request opened on it while another one lives waits for that one to end. The handle is made on
// the first request, so that a program that never translates never loads libcurl.
class HttpConnection {
public:
    // Connections given the same certificates load the system's store once between them.
    explicit HttpConnection(std::shared_ptr<TrustedCertificates> trusted = {});
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

private:
    friend class WinHttpRequest;
    struct CurlDeleter {
        void operator()(CURL* handle) const;
    };

    // Held by the request that uses the connection, for its whole life.
    std::mutex inUse_;
    std::unique_ptr<CURL, CurlDeleter> handle_;
    const std::shared_ptr<TrustedCertificates> trusted_;
};

} // namespace platform
