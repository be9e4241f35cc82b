#include "platform/TrustedCertificates.h"

#include <openssl/x509_vfy.h>

#include <dlfcn.h>

namespace platform {

namespace {

// libssl is there once libcurl is: it is looked up rather than linked, so that a program that
// never translates does not load it.
using SetCertStore = void (*)(ssl_ctx_st*, x509_store_st*);
SetCertStore FindSetCertStore() {
    void* libssl = dlopen("libssl.so.3", RTLD_NOW | RTLD_NOLOAD);
    return libssl ? reinterpret_cast<SetCertStore>(dlsym(libssl, "SSL_CTX_set1_cert_store"))
                  : nullptr;
}

x509_store_st* LoadStore(const QString& systemBundle, const QString& systemFolder,
                         const QString& extraCaFile) {
    X509_STORE* store = X509_STORE_new();
    if (!store)
        return nullptr;
    // As libcurl sets its own store: the trusted certificates first, and a chain may end at any
    // trusted certificate.
    X509_STORE_set_flags(store, X509_V_FLAG_TRUSTED_FIRST | X509_V_FLAG_PARTIAL_CHAIN);
    bool loaded = true;
    if (!systemBundle.isEmpty())
        loaded = X509_STORE_load_file(store, systemBundle.toLocal8Bit().constData()) == 1;
    if (loaded && !systemFolder.isEmpty())
        loaded = X509_STORE_load_path(store, systemFolder.toLocal8Bit().constData()) == 1;
    if (loaded && !extraCaFile.isEmpty())
        loaded = X509_STORE_load_file(store, extraCaFile.toLocal8Bit().constData()) == 1;
    if (!loaded) {
        X509_STORE_free(store);
        return nullptr;
    }
    return store;
}

} // namespace

TrustedCertificates::TrustedCertificates() = default;

TrustedCertificates::~TrustedCertificates() {
    X509_STORE_free(store_);
}

bool TrustedCertificates::installInto(ssl_ctx_st* context, const QString& systemBundle,
                                      const QString& systemFolder, const QString& extraCaFile) {
    static const SetCertStore setCertStore = FindSetCertStore();
    if (!setCertStore)
        return false;
    const std::lock_guard lock(mutex_);
    if (!store_ || extraCaFile != extraCaFile_) {
        X509_STORE_free(store_);
        store_ = LoadStore(systemBundle, systemFolder, extraCaFile);
        extraCaFile_ = extraCaFile;
    }
    if (!store_)
        return false;
    setCertStore(context, store_); // the context holds a reference of its own
    return true;
}

} // namespace platform
