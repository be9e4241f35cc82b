#include "platform/HttpConnection.h"

#include "platform/CurlLibrary.h"

namespace platform {

void HttpConnection::CurlDeleter::operator()(CURL* handle) const {
    CurlLibrary::Get().easy_cleanup(handle);
}

HttpConnection::HttpConnection() = default;
HttpConnection::~HttpConnection() = default;

} // namespace platform
