#include "platform/CurlLibrary.h"

#include "platform/HttpError.h"
#include "platform/NetworkTexts.h"

#include <dlfcn.h>

namespace platform {

namespace {

constexpr const char* kLibraryName = "libcurl.so.4";

template <typename Function> void Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function)
        throw HttpError(kLibraryIncomplete + QString::fromLatin1(name));
}

// Owns the opened library: libcurl is initialised once per process before any handle exists,
// and cleaned up when the program ends.
class LoadedCurl {
public:
    LoadedCurl() {
        library_ = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (!library_)
            throw HttpError(kLibraryNotLoaded + QString::fromLatin1(kLibraryName));
        Resolve(library_, "curl_easy_init", api_.easy_init);
        Resolve(library_, "curl_easy_cleanup", api_.easy_cleanup);
        Resolve(library_, "curl_easy_reset", api_.easy_reset);
        Resolve(library_, "curl_easy_setopt", api_.easy_setopt);
        Resolve(library_, "curl_easy_getinfo", api_.easy_getinfo);
        Resolve(library_, "curl_easy_perform", api_.easy_perform);
        Resolve(library_, "curl_slist_append", api_.slist_append);
        Resolve(library_, "curl_slist_free_all", api_.slist_free_all);
        Resolve(library_, "curl_global_cleanup", globalCleanup_);
        decltype(&::curl_global_init) globalInit = nullptr;
        Resolve(library_, "curl_global_init", globalInit);
        if (globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw HttpError(kLibraryNotInitialised);
    }
    ~LoadedCurl() { globalCleanup_(); }
    LoadedCurl(const LoadedCurl&) = delete;
    LoadedCurl& operator=(const LoadedCurl&) = delete;

    const CurlLibrary& api() const { return api_; }

private:
    void* library_ = nullptr;
    CurlLibrary api_{};
    decltype(&::curl_global_cleanup) globalCleanup_ = nullptr;
};

} // namespace

const CurlLibrary& CurlLibrary::Get() {
    // A function-local static: loaded once, thread-safe, retried after a failed load.
    static const LoadedCurl loaded;
    return loaded.api();
}

} // namespace platform
