#include "standin/StandInService.h"

#include "standin/ConnectionDropper.h"
#include "standin/FaultyReplies.h"
#include "standin/FormDecoding.h"
#include "standin/RateLimiter.h"
#include "standin/StreamedReplies.h"

#include <httplib.h>

#include <QByteArray>

#include <atomic>
#include <csignal>
#include <limits>
#include <pthread.h>
#include <set>
#include <stdexcept>

namespace standin {

namespace {

bool IsFormBody(const httplib::Request& request) {
    return QByteArray::fromStdString(request.get_header_value("Content-Type"))
        .toLower()
        .startsWith("application/x-www-form-urlencoded");
}

// The fields of a request: the query string's, then a form body's over them.
std::map<std::string, std::string> RequestFields(const httplib::Request& request) {
    const std::size_t question = request.target.find('?');
    std::map<std::string, std::string> fields =
        question == std::string::npos ? std::map<std::string, std::string>{}
                                      : DecodeFormFields(request.target.substr(question + 1));
    if (request.method == "POST" && IsFormBody(request))
        for (auto& [name, value] : DecodeFormFields(request.body))
            fields[name] = std::move(value);
    return fields;
}

std::string HtmlPage(int status, const std::string& title) {
    return "<html>\r\n<head><title>" + std::to_string(status) + " " + title +
           "</title></head>\r\n<body>\r\n<center><h1>" + std::to_string(status) + " " + title +
           "</h1></center>\r\n</body>\r\n</html>\r\n";
}

// A peer that has gone away must not kill the process with SIGPIPE when a late reply is written;
// the server's worker threads inherit this mask from the listening thread.
void BlockSigpipeInThisThread() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

} // namespace

std::string RecordedRequest::header(const std::string& name) const {
    const QByteArray wanted = QByteArray::fromStdString(name).toLower();
    for (const auto& [key, value] : headers)
        if (QByteArray::fromStdString(key).toLower() == wanted)
            return value;
    return {};
}

StandInService::StandInService(ServiceOptions options)
    : options_(std::move(options)),
      limiter_(std::make_unique<RateLimiter>(options_.maxRequestsPerSecond)) {}

StandInService::~StandInService() {
    stop();
}

int StandInService::start(const std::string& host, int port) {
    if (server_)
        throw std::runtime_error("the stand-in service is already running");
    const bool tls = !options_.certFile.empty() || !options_.keyFile.empty();
    std::unique_ptr<httplib::Server> server;
    if (tls) {
        server = std::make_unique<httplib::SSLServer>(options_.certFile.c_str(),
                                                      options_.keyFile.c_str());
    } else {
        server = std::make_unique<httplib::Server>();
    }
    if (!server->is_valid()) {
        throw std::runtime_error("cannot load the TLS certificate '" + options_.certFile +
                                 "' or key '" + options_.keyFile + "'");
    }
    configureRoutes(*server);
    // A worker serves one connection for as long as the client keeps it: enough for a client
    // that keeps up to 128 connections (a document's most workers) and a few more.
    server->new_task_queue = [] {
        return new httplib::ThreadPool(160);
    };
    // Connections are kept for as many requests as a client sends over them.
    server->set_keep_alive_timeout(options_.keepAliveTimeout.count());
    server->set_keep_alive_max_count(std::numeric_limits<int>::max());

    const int bound =
        port == 0 ? server->bind_to_any_port(host) : (server->bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    WidenListenBacklog(bound);
    host_ = host;
    port_ = bound;
    {
        const std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }

    auto listenerDone = std::make_shared<std::atomic<bool>>(false);
    listener_ = std::thread([srv = server.get(), listenerDone] {
        BlockSigpipeInThisThread();
        srv->listen_after_bind();
        *listenerDone = true;
    });
    // The socket already queues connections; wait until it is being served, so that stop()
    // cannot come before the accept loop has begun.
    while (!server->is_running() && !*listenerDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server_ = std::move(server);
    if (*listenerDone) {
        stop();
        throw std::runtime_error("the stand-in service stopped serving at once");
    }
    return port_;
}

void StandInService::stop() {
    if (!server_)
        return;
    {
        const std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    stopping_.notify_all();
    server_->stop();
    // Kept connections would hold their workers, and the listener that joins them, until their
    // keep-alive time runs out.
    DropAllConnections(port_);
    if (listener_.joinable())
        listener_.join();
    server_.reset();
}

int StandInService::port() const {
    return port_;
}

std::string StandInService::endpoint() const {
    return origin() + kTranslatePath;
}

std::string StandInService::origin() const {
    std::string host = host_;
    if (host.empty() || host == "0.0.0.0" || host == "::")
        host = "127.0.0.1";
    else if (host.find(':') != std::string::npos)
        host = "[" + host + "]";
    const bool tls = !options_.certFile.empty();
    return std::string(tls ? "https://" : "http://") + host + ":" + std::to_string(port_);
}

void StandInService::setFault(Fault fault, std::chrono::milliseconds delay, int status,
                              std::size_t size) {
    const std::lock_guard lock(mutex_);
    fault_ = {fault, delay, status, size, {}, {}};
}

void StandInService::setReply(int status, std::string body) {
    const std::lock_guard lock(mutex_);
    fault_ = {Fault::Scripted, {}, status, 0, std::move(body), {}};
}

std::vector<RecordedRequest> StandInService::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void StandInService::clearRequests() {
    const std::lock_guard lock(mutex_);
    requests_.clear();
}

void StandInService::scriptNext(int count, Fault fault, const std::string& errorCode) {
    const std::lock_guard lock(mutex_);
    for (int i = 0; i < count; ++i)
        scripted_.push_back({fault, {}, 500, kHugeReplyBytes, {}, errorCode});
}

int StandInService::connections() const {
    const std::lock_guard lock(mutex_);
    std::set<int> ports;
    for (const RecordedRequest& request : requests_)
        ports.insert(request.remotePort);
    return static_cast<int>(ports.size());
}

int StandInService::rateLimitAnswers() const {
    const std::lock_guard lock(mutex_);
    return rateLimitAnswers_;
}

StandInService::FaultSetting StandInService::takeFault() {
    const std::lock_guard lock(mutex_);
    if (scripted_.empty())
        return fault_;
    FaultSetting next = scripted_.front();
    scripted_.pop_front();
    return next;
}

std::chrono::milliseconds StandInService::drawLatency() {
    const std::lock_guard lock(mutex_);
    const auto jitter = options_.latencyJitter.count();
    return options_.latency +
           std::chrono::milliseconds(jitter > 0 ? latencyDraw_() % (jitter + 1) : 0);
}

void StandInService::configureRoutes(httplib::Server& server) {
    // Each handler records its request first: cpp-httplib reads the body only after its
    // pre-routing hook, so that hook cannot record it.
    const auto translate = [this](const httplib::Request& request, httplib::Response& response) {
        record(request);
        handleTranslate(request, response);
    };
    server.Get(kTranslatePath, translate);
    // cpp-httplib refuses form bodies over 8 KB, but the service takes a q of 6000 bytes of
    // Chinese, some 18 KB encoded: the body is read here instead, with no such limit.
    server.Post(kTranslatePath,
                [translate](const httplib::Request& request, httplib::Response& response,
                            const httplib::ContentReader& content) {
                    httplib::Request whole = request;
                    content([&whole](const char* data, std::size_t length) {
                        whole.body.append(data, length);
                        return true;
                    });
                    translate(whole, response);
                });

    const auto redirected = [this](const httplib::Request& request, httplib::Response& response) {
        record(request);
        response.set_content(std::string("{\"from\":\"en\",\"to\":\"zh\",\"trans_result\":[{"
                                         "\"src\":\"redirect\",\"dst\":\"") +
                                 kRedirectedTranslation + "\"}]}",
                             "application/json");
    };
    server.Get(kRedirectTargetPath, redirected);
    server.Post(kRedirectTargetPath, redirected);

    const auto notFound = [this](const httplib::Request& request, httplib::Response& response) {
        record(request);
        response.status = 404;
        response.set_content(HtmlPage(404, "Not Found"), "text/html");
    };
    server.Get(".*", notFound);
    server.Post(".*", notFound);
    server.Put(".*", notFound);
    server.Patch(".*", notFound);
    server.Delete(".*", notFound);
    server.Options(".*", notFound);
}

void StandInService::record(const httplib::Request& request) {
    RecordedRequest recorded{
        request.method,     request.path, {}, request.body, std::chrono::steady_clock::now(),
        request.remote_port};
    recorded.headers.assign(request.headers.begin(), request.headers.end());
    const std::lock_guard lock(mutex_);
    requests_.push_back(std::move(recorded));
}

void StandInService::handleTranslate(const httplib::Request& request, httplib::Response& response) {
    const FaultSetting fault = takeFault();
    std::string body;
    if (fault.fault == Fault::None || fault.fault == Fault::MissingResult ||
        fault.fault == Fault::Delay || fault.fault == Fault::CloseAfterAnswer) {
        body = answer(request, fault.fault == Fault::MissingResult); // counted on arrival
    } else if (fault.fault == Fault::ServiceError) {
        body = ErrorReply(KnownError(fault.errorCode));
    }
    if (!waitUnlessStopped(drawLatency())) {
        DropConnection(request.remote_addr, request.remote_port, port_);
        return;
    }
    switch (fault.fault) {
    case Fault::None:
    case Fault::MissingResult:
    case Fault::ServiceError:
        break;
    case Fault::Delay:
        if (!waitUnlessStopped(fault.delay)) {
            DropConnection(request.remote_addr, request.remote_port, port_);
            return;
        }
        break;
    case Fault::CloseWithoutAnswer:
        DropConnection(request.remote_addr, request.remote_port, port_);
        return;
    case Fault::NonJsonBody:
        response.set_content(HtmlPage(200, "OK"), "text/html");
        return;
    case Fault::HttpErrorStatus:
        response.status = fault.status;
        response.set_content(HtmlPage(fault.status, "Server Error"), "text/html");
        return;
    case Fault::Redirect:
        response.status = 302;
        response.set_header("Location", origin() + kRedirectTargetPath);
        response.set_content(HtmlPage(302, "Found"), "text/html");
        return;
    case Fault::CloseMidReply:
        SendHalfThenClose(response, answer(request));
        return;
    case Fault::HugeReply:
        response.set_content(HugeTranslationReply(fault.size), "application/json");
        return;
    case Fault::Drip: {
        const auto interval = fault.delay > std::chrono::milliseconds::zero()
                                  ? fault.delay
                                  : std::chrono::milliseconds(1000);
        Drip(response, answer(request), [this, interval] { return waitUnlessStopped(interval); });
        return;
    }
    case Fault::InvalidUtf8Body:
        response.set_content(InvalidUtf8Reply(), "application/json");
        return;
    case Fault::InvalidJsonBody:
        response.set_content(InvalidJsonReply(), "application/json");
        return;
    case Fault::Scripted:
        response.status = fault.status;
        response.set_content(fault.body, "application/json");
        return;
    case Fault::NotHttp:
        DropConnection(request.remote_addr, request.remote_port, port_, NotHttpReply());
        return;
    case Fault::CloseAfterAnswer:
        DropConnection(request.remote_addr, request.remote_port, port_,
                       "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\n\r\n" + body);
        return;
    }
    response.set_content(body, "application/json");
}

std::string StandInService::answer(const httplib::Request& request, bool dropLastResult) {
    const auto admit = [this](const std::string& appId) {
        if (limiter_->admit(appId))
            return true;
        const std::lock_guard lock(mutex_);
        ++rateLimitAnswers_;
        return false;
    };
    return AnswerTranslateRequest(RequestFields(request), options_.accounts, admit, dropLastResult);
}

bool StandInService::waitUnlessStopped(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    return !stopping_.wait_for(lock, delay, [this] { return stopRequested_; });
}

} // namespace standin
