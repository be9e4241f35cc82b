#pragma once

#include <functional>
#include <string>

namespace httplib {
struct Response;
} // namespace httplib

namespace standin {

// Replies that reach the client piece by piece, sent by cpp-httplib after the handler returns.

// Sends the headers with the Content-Length of the whole `body`, then its first half, then closes
// the connection.
void SendHalfThenClose(httplib::Response& response, std::string body);

// Sends `body` chunked, one byte at a time; before each byte after the first it calls `pause`,
// which waits and returns false to end the reply there (the connection is then closed). A client
// that has gone away ends it as well.
void Drip(httplib::Response& response, std::string body, std::function<bool()> pause);

} // namespace standin
