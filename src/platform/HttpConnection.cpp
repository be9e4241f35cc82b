#include "platform/HttpConnection.h"

#include "platform/CurlLibrary.h"

namespace platform {

void HttpConnection::CurlDeleter::operator()(CURL* handle) const {
    CurlLibrary::Get().easy_cleanup(handle);
}

HttpConnection::HttpConnection(std::shared_ptr<TrustedCertificates> trusted)
    : trusted_(trusted ? std::move(trusted) : std::make_shared<TrustedCertificates>()) {}
HttpConnection::~HttpConnection() = default;

} // namespace platform
