#include "platform/WinHttpRequest.h"

#include "platform/CurlLibrary.h"
#include "platform/NetworkTexts.h"

#include <QFile>
#include <QUrl>

namespace platform {

namespace {

QString DescribeFailure(CURLcode code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return kHostNotFound;
    case CURLE_COULDNT_CONNECT:
        return kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return kTimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return kCertificateRefused;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
        return kTlsFailed;
    case CURLE_GOT_NOTHING:
        return kNothingAnswered;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return kConnectionBroken;
    // Open lets only http and https addresses through, so these come from the server's bytes: no
    // HTTP reply (libcurl takes it for HTTP/0.9, which it refuses) or a broken one.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
        return kNotHttpReply;
    case CURLE_URL_MALFORMAT:
        return kInvalidAddress;
    case CURLE_ABORTED_BY_CALLBACK:
        return kRequestCancelled;
    default:
        return kNetworkError.arg(static_cast<int>(code));
    }
}

// Failures that may well not recur on another try: the exchange timed out, or the connection
// broke on the way.
bool IsTransient(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return true;
    default:
        return false;
    }
}

// The reason given for a reply stopped at the size limit, which the write callback flags: libcurl
// itself reports it as any other write error.
QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw HttpError(kCertificateFileUnreadable + path);
    return file.readAll();
}

} // namespace

void WinHttpRequest::CurlDeleter::operator()(CURL* handle) const {
    CurlLibrary::Get().easy_cleanup(handle);
}

void WinHttpRequest::HeaderListDeleter::operator()(curl_slist* list) const {
    CurlLibrary::Get().slist_free_all(list);
}

WinHttpRequest::WinHttpRequest(HttpConnection* connection) : connection_(connection) {
    if (connection_) {
        using_ = std::unique_lock(connection_->inUse_);
        if (!connection_->handle_)
            connection_->handle_.reset(CurlLibrary::Get().easy_init());
        handle_ = connection_->handle_.get();
    } else {
        ownHandle_.reset(CurlLibrary::Get().easy_init());
        handle_ = ownHandle_.get();
    }
    if (!handle_)
        throw HttpError(kRequestNotCreated);
    SetOption(CURLOPT_NOSIGNAL, 1L);
    SetOption(CURLOPT_PROXY, "");
    SetOption(CURLOPT_PROTOCOLS_STR, "http,https");
    SetOption(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    SetOption(CURLOPT_FOLLOWLOCATION, 0L);
    SetOption(CURLOPT_SSL_VERIFYPEER, 1L);
    SetOption(CURLOPT_SSL_VERIFYHOST, 2L);
    SetOption(CURLOPT_WRITEFUNCTION, &AppendToBody);
    SetOption(CURLOPT_WRITEDATA, &response_);
}

WinHttpRequest::~WinHttpRequest() {
    // The kept handle forgets everything that points into this request; its connection, TLS
    // session and certificate store stay.
    if (connection_ && handle_)
        CurlLibrary::Get().easy_reset(handle_);
}

template <typename Value> void WinHttpRequest::SetOption(CURLoption option, Value value) {
    if (CurlLibrary::Get().easy_setopt(handle_, option, value) != CURLE_OK)
        throw HttpError(kSetupFailed);
}

void WinHttpRequest::SetFollowRedirects(bool follow) {
    SetOption(CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
}

void WinHttpRequest::TrustExtraCaFile(const QString& pemFile) {
    if (connection_) {
        extraCaFile_ = pemFile; // with the connection's certificates, when it goes out
        return;
    }
    // A CA blob replaces libcurl's default CA file, so the system bundle goes into it as well;
    // the system's CA folder stays in use either way.
    QByteArray bundle;
    const char* systemBundle = nullptr;
    if (CurlLibrary::Get().easy_getinfo(handle_, CURLINFO_CAINFO, &systemBundle) == CURLE_OK &&
        systemBundle != nullptr && QFile::exists(QString::fromLocal8Bit(systemBundle)))
        bundle = ReadFile(QString::fromLocal8Bit(systemBundle)) + '\n';
    bundle += ReadFile(pemFile);

    curl_blob blob{bundle.data(), static_cast<size_t>(bundle.size()), CURL_BLOB_COPY};
    SetOption(CURLOPT_CAINFO_BLOB, &blob);
}

void WinHttpRequest::UseConnectionCertificates() {
    const CurlLibrary& curl = CurlLibrary::Get();
    const char* bundle = nullptr;
    const char* folder = nullptr;
    curl.easy_getinfo(handle_, CURLINFO_CAINFO, &bundle);
    curl.easy_getinfo(handle_, CURLINFO_CAPATH, &folder);
    systemBundle_ = bundle ? QString::fromLocal8Bit(bundle) : QString();
    systemFolder_ = folder ? QString::fromLocal8Bit(folder) : QString();
    const curl_ssl_ctx_callback install = [](CURL*, void* context, void* request) {
        auto& self = *static_cast<WinHttpRequest*>(request);
        return self.connection_->trusted_->installInto(static_cast<ssl_ctx_st*>(context),
                                                       self.systemBundle_, self.systemFolder_,
                                                       self.extraCaFile_)
                   ? CURLE_OK
                   : CURLE_SSL_CACERT_BADFILE;
    };
    // A TLS library other than OpenSSL takes no such function: libcurl then loads the files.
    if (curl.easy_setopt(handle_, CURLOPT_SSL_CTX_FUNCTION, install) != CURLE_OK)
        return;
    SetOption(CURLOPT_SSL_CTX_DATA, this);
    // Nothing for libcurl to load, and no store of its own cached: it would put back a store
    // loaded for another extra CA file. The function above gives the context every certificate.
    SetOption(CURLOPT_CA_CACHE_TIMEOUT, 0L);
    SetOption(CURLOPT_CAINFO, static_cast<const char*>(nullptr));
    SetOption(CURLOPT_CAPATH, static_cast<const char*>(nullptr));
}

void WinHttpRequest::SetTimeouts(std::chrono::milliseconds connect,
                                 std::chrono::milliseconds total) {
    SetOption(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect.count()));
    SetOption(CURLOPT_TIMEOUT_MS, static_cast<long>(total.count()));
}

void WinHttpRequest::SetMaxResponseSize(qint64 bytes) {
    response_.limit = bytes;
}

void WinHttpRequest::AbortOn(std::stop_token stop) {
    abort_ = std::move(stop);
    // libcurl asks at least once a second, and whenever data moves, whether to go on.
    const curl_xferinfo_callback goOn = [](void* token, curl_off_t, curl_off_t, curl_off_t,
                                           curl_off_t) {
        return static_cast<const std::stop_token*>(token)->stop_requested() ? 1 : 0;
    };
    SetOption(CURLOPT_XFERINFOFUNCTION, goOn);
    SetOption(CURLOPT_XFERINFODATA, &abort_);
    SetOption(CURLOPT_NOPROGRESS, 0L);
}

void WinHttpRequest::SetBeforeSend(std::function<bool()> beforeSend) {
    beforeSend_ = std::move(beforeSend);
    const curl_prereq_callback goOn = [](void* hook, char*, char*, int, int) {
        return (*static_cast<std::function<bool()>*>(hook))() ? CURL_PREREQFUNC_OK
                                                              : CURL_PREREQFUNC_ABORT;
    };
    SetOption(CURLOPT_PREREQFUNCTION, goOn);
    SetOption(CURLOPT_PREREQDATA, &beforeSend_);
}

size_t WinHttpRequest::AppendToBody(char* data, size_t size, size_t count, void* sink) {
    auto& response = *static_cast<ResponseSink*>(sink);
    const size_t bytes = size * count;
    const auto length = static_cast<qsizetype>(bytes);
    if (response.limit > 0 && response.body.size() + length > response.limit) {
        response.overLimit = true;
        return 0; // libcurl ends the transfer with a write error
    }
    response.body.append(data, length);
    return bytes;
}

void WinHttpRequest::Open(const QString& method, const QString& url) {
    const QUrl address(url);
    if (!address.isValid() || address.host().isEmpty() ||
        (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https")))
        throw HttpError(kInvalidAddress);
    method_ = method.toUpper().toUtf8();
    SetOption(CURLOPT_URL, url.toUtf8().constData());
}

void WinHttpRequest::SetRequestHeader(const QString& name, const QString& value) {
    const QByteArray line = (name + QStringLiteral(": ") + value).toUtf8();
    curl_slist* extended = CurlLibrary::Get().slist_append(headers_.get(), line.constData());
    if (!extended)
        throw HttpError(kSetupFailed);
    // The list's head owns every entry, the old ones included.
    static_cast<void>(headers_.release());
    headers_.reset(extended);
}

void WinHttpRequest::Send(const QByteArray& body) {
    if (method_ == "GET") {
        SetOption(CURLOPT_HTTPGET, 1L);
    } else {
        SetOption(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        SetOption(CURLOPT_POSTFIELDS, body.constData());
        if (method_ != "POST")
            SetOption(CURLOPT_CUSTOMREQUEST, method_.constData());
    }
    SetOption(CURLOPT_HTTPHEADER, headers_.get());
    if (connection_)
        UseConnectionCertificates();

    response_.body.clear();
    response_.overLimit = false;
    status_ = 0;
    const CURLcode result = CurlLibrary::Get().easy_perform(handle_);
    if (response_.overLimit) {
        response_.body.clear();
        throw HttpError(kReplyTooLarge);
    }
    if (result != CURLE_OK)
        throw HttpError(DescribeFailure(result), IsTransient(result));
    CurlLibrary::Get().easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status_);
}

} // namespace platform
