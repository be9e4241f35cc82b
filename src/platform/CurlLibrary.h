#pragma once

#include <curl/curl.h>

namespace platform {

// libcurl's entry points, opened on the first request instead of linked into the program:
// libcurl brings two dozen libraries (TLS, Kerberos, LDAP, SSH...) that the window does not need
// until it translates, and loading them at start-up slows every start and grows the idle window.
struct CurlLibrary {
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_reset) easy_reset;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_perform) easy_perform;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;

    // Opened and initialised once per process, before any handle exists, also when several
    // threads ask at once; throws HttpError when libcurl cannot be loaded. Each request then uses
    // its own handle, so requests may run in several threads.
    static const CurlLibrary& Get();
};

} // namespace platform
