#pragma once

// A local stand-in for the translation web service, for tests and for trying the program without
// an account or a network. It answers GET and POST on /api/trans/vip/translate like the real
// service (sign check, error codes, one trans_result element per line, compact JSON with \uXXXX
// escapes), records every request it receives, and can be told to misbehave in a few ways.

#include "standin/TranslateAnswer.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace standin {

class RateLimiter;

// The path the service answers on, and the path a Redirect fault points to. That second path
// always answers a valid translation whose only dst is kRedirectedTranslation, so a client that
// follows the redirect gives itself away.
inline constexpr char kTranslatePath[] = "/api/trans/vip/translate";
inline constexpr char kRedirectTargetPath[] = "/moved/api/trans/vip/translate";
inline constexpr char kRedirectedTranslation[] = "redirect followed";
// The size of a HugeReply unless setFault names another.
inline constexpr std::size_t kHugeReplyBytes = std::size_t{10} * 1000 * 1000;

struct RecordedRequest {
    std::string method; // "POST"
    std::string path;   // "/api/trans/vip/translate"
    // Names and values as received (cpp-httplib keeps them sorted by name, not in wire order).
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body; // raw body bytes, undecoded
    std::chrono::steady_clock::time_point arrived;
    int remotePort = 0; // the client's port: requests over one connection share it

    // The value of the first header of that name, compared without case; "" if absent.
    std::string header(const std::string& name) const;
};

enum class Fault {
    None,
    Delay,              // wait `delay` before answering normally
    CloseWithoutAnswer, // read the request, then close the connection with no reply bytes
    NonJsonBody,        // 200 with an HTML body
    HttpErrorStatus,    // `status` (e.g. 500/502) with an HTML error page
    Redirect,           // 302 with Location to kRedirectTargetPath on this server
    CloseMidReply,      // headers announcing the whole answer, half of its body, then close
    HugeReply,          // 200 with a valid translation of `size` bytes, one long word in one dst
    Drip,               // the answer one byte per `delay` (1 s when zero); stop() ends it at once
    InvalidUtf8Body,    // 200 with a JSON object whose dst holds bytes that are not UTF-8
    InvalidJsonBody,    // 200 with a body that starts as the service's JSON but is not JSON
    Scripted,           // the status and body given to setReply
    NotHttp,            // bytes that are no HTTP reply at all, then close the connection
    ServiceError,       // the service's error reply with the code given to scriptNext
    MissingResult,      // a translation whose trans_result lacks the element of the last line
    // The answer, then the connection closed without a word, as a server ends a kept
    // connection it no longer wants (plain HTTP only)
    CloseAfterAnswer,
};

struct ServiceOptions {
    std::map<std::string, std::string> accounts; // App ID -> secret key
    int maxRequestsPerSecond = 0;                // per App ID; 0 = no limit; past it: 54003
    std::string certFile, keyFile;               // both set: serve TLS (PEM files)
    // How long each answer takes, like a network and a busy service: `latency` plus a random
    // part of up to `latencyJitter`, drawn for every request, so concurrent answers overtake
    // each other. The rate limit counts a request when it arrives.
    std::chrono::milliseconds latency{0};
    std::chrono::milliseconds latencyJitter{0};
    // How long a kept connection may stay idle before the service closes it (stop() closes
    // every connection at once).
    std::chrono::seconds keepAliveTimeout{60};
};

class StandInService {
public:
    explicit StandInService(ServiceOptions options);
    ~StandInService(); // stops and joins
    StandInService(const StandInService&) = delete;
    StandInService& operator=(const StandInService&) = delete;

    // Binds (port 0: a free port), serves in a background thread and returns the bound port once
    // connections are accepted. Throws std::runtime_error when it cannot load the TLS files or
    // bind.
    int start(const std::string& host = "127.0.0.1", int port = 0);
    void stop();
    int port() const;
    // "http(s)://127.0.0.1:PORT/api/trans/vip/translate" (the host given to start, 127.0.0.1 for
    // a wildcard address).
    std::string endpoint() const;

    // Applies to every later request on kTranslatePath until changed; Fault::None restores.
    void setFault(Fault fault, std::chrono::milliseconds delay = {}, int status = 500,
                  std::size_t size = kHugeReplyBytes);
    // Fault::Scripted: every later request gets `body` (as application/json) with `status`.
    void setReply(int status, std::string body);

    // The next `count` requests on kTranslatePath meet `fault` (with Fault::ServiceError the
    // error reply of `errorCode`) before the standing fault applies again.
    void scriptNext(int count, Fault fault, const std::string& errorCode = {});

    std::vector<RecordedRequest> requests() const; // every request received, in order
    void clearRequests();
    // The connections that the requests received since clearRequests came over.
    int connections() const;
    int rateLimitAnswers() const; // how many 54003 answers the rate limit gave

private:
    struct FaultSetting {
        Fault fault = Fault::None;
        std::chrono::milliseconds delay{};
        int status = 500;
        std::size_t size = kHugeReplyBytes;
        std::string body;
        std::string errorCode;
    };

    void configureRoutes(httplib::Server& server);
    void record(const httplib::Request& request);
    void handleTranslate(const httplib::Request& request, httplib::Response& response);
    // The fault for this request: the next scripted one, or the standing one.
    FaultSetting takeFault();
    // The JSON body of the service's answer to the request; without its last result when
    // `dropLastResult`.
    std::string answer(const httplib::Request& request, bool dropLastResult = false);
    std::chrono::milliseconds drawLatency();
    std::string origin() const;
    // Waits for `delay`; false when the service is stopped meanwhile.
    bool waitUnlessStopped(std::chrono::milliseconds delay);

    const ServiceOptions options_;
    const std::unique_ptr<RateLimiter> limiter_;
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
    std::string host_;
    int port_ = 0;

    mutable std::mutex mutex_; // guards what follows
    std::condition_variable stopping_;
    bool stopRequested_ = false;
    FaultSetting fault_;
    std::deque<FaultSetting> scripted_;
    std::vector<RecordedRequest> requests_;
    int rateLimitAnswers_ = 0;
    std::minstd_rand latencyDraw_;
};

} // namespace standin
