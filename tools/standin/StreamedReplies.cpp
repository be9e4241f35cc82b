#include "standin/StreamedReplies.h"

#include <httplib.h>

namespace standin {

namespace {
constexpr char kJson[] = "application/json";
} // namespace

void SendHalfThenClose(httplib::Response& response, std::string body) {
    const std::size_t length = body.size();
    response.set_content_provider(
        length, kJson, [body = std::move(body)](std::size_t, std::size_t, httplib::DataSink& sink) {
            sink.write(body.data(), body.size() / 2);
            return false; // cpp-httplib closes the connection of a provider that gives up
        });
}

void Drip(httplib::Response& response, std::string body, std::function<bool()> pause) {
    response.set_chunked_content_provider(kJson, [body = std::move(body), pause = std::move(pause)](
                                                     std::size_t offset, httplib::DataSink& sink) {
        if (offset >= body.size()) {
            sink.done();
            return true;
        }
        if (offset > 0 && !pause())
            return false;
        return sink.is_writable() && sink.write(body.data() + offset, 1);
    });
}

} // namespace standin
