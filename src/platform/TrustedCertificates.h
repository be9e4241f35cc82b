#pragma once

#include <QString>

#include <memory>
#include <mutex>

struct ssl_ctx_st;
struct x509_store_st;

namespace platform {

// The certificates HTTPS trusts (the system's store and an extra CA file), loaded once and then
// shared by every TLS connection that is given them: loading the system's store costs more CPU
// than a whole TLS handshake. Thread-safe.
class TrustedCertificates {
public:
    TrustedCertificates();
    ~TrustedCertificates();
    TrustedCertificates(const TrustedCertificates&) = delete;
    TrustedCertificates& operator=(const TrustedCertificates&) = delete;

    // Makes the TLS context (an OpenSSL SSL_CTX) verify against the system's CA bundle and CA
    // folder and `extraCaFile` (none when empty), loaded on the first call and again only when
    // the extra file changes. False when that cannot be done; the context is then unchanged.
    bool installInto(ssl_ctx_st* context, const QString& systemBundle, const QString& systemFolder,
                     const QString& extraCaFile);

private:
    std::mutex mutex_;
    x509_store_st* store_ = nullptr;
    QString extraCaFile_;
};

} // namespace platform
