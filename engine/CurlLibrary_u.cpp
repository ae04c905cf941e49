// The libcurl functions the transfers call, loaded with the library on the first call.
// libcurl drags some thirty libraries (TLS, Kerberos, LDAP, SSH...) into the process, and
// their loading and relocation was most of the start-up of a run that never transfers a
// file. Only the entry points used here are forwarded; a missing library makes the
// constructors return null and the set-up fail, which the callers already report.
#define CURL_DISABLE_TYPECHECK 1
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdarg>
#include <mutex>

namespace brindle {
namespace {

struct TCurlEntryPoints {
    CURLcode (*GlobalInit)(long) = nullptr;
    CURL* (*EasyInit)() = nullptr;
    void (*EasyCleanup)(CURL*) = nullptr;
    CURLcode (*EasySetopt)(CURL*, CURLoption, ...) = nullptr;
    CURLcode (*EasyGetinfo)(CURL*, CURLINFO, ...) = nullptr;
    CURLM* (*MultiInit)() = nullptr;
    CURLMcode (*MultiCleanup)(CURLM*) = nullptr;
    CURLMcode (*MultiAddHandle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*MultiRemoveHandle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*MultiPerform)(CURLM*, int*) = nullptr;
    CURLMcode (*MultiPoll)(CURLM*, curl_waitfd*, unsigned int, int, int*) = nullptr;
    CURLMcode (*MultiWakeup)(CURLM*) = nullptr;
    CURLMsg* (*MultiInfoRead)(CURLM*, int*) = nullptr;
    bool Loaded = false;
};

template <typename T>
bool Resolve(void* library, const char* name, T& target) {
    target = reinterpret_cast<T>(dlsym(library, name));
    return target != nullptr;
}

// Loaded once, from whichever thread asks first; kept until the process ends.
const TCurlEntryPoints& Curl() {
    static TCurlEntryPoints entries;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library) return;
        TCurlEntryPoints e;
        const bool all =
            Resolve(library, "curl_global_init", e.GlobalInit) && Resolve(library, "curl_easy_init", e.EasyInit) &&
            Resolve(library, "curl_easy_cleanup", e.EasyCleanup) &&
            Resolve(library, "curl_easy_setopt", e.EasySetopt) &&
            Resolve(library, "curl_easy_getinfo", e.EasyGetinfo) && Resolve(library, "curl_multi_init", e.MultiInit) &&
            Resolve(library, "curl_multi_cleanup", e.MultiCleanup) &&
            Resolve(library, "curl_multi_add_handle", e.MultiAddHandle) &&
            Resolve(library, "curl_multi_remove_handle", e.MultiRemoveHandle) &&
            Resolve(library, "curl_multi_perform", e.MultiPerform) &&
            Resolve(library, "curl_multi_poll", e.MultiPoll) && Resolve(library, "curl_multi_wakeup", e.MultiWakeup) &&
            Resolve(library, "curl_multi_info_read", e.MultiInfoRead);
        if (!all) return;
        e.Loaded = true;
        entries = e;
    });
    return entries;
}

}  // namespace
}  // namespace brindle

using brindle::Curl;

extern "C" {

CURLcode curl_global_init(long flags) { return Curl().Loaded ? Curl().GlobalInit(flags) : CURLE_FAILED_INIT; }

CURL* curl_easy_init() { return Curl().Loaded ? Curl().EasyInit() : nullptr; }

void curl_easy_cleanup(CURL* curl) {
    if (curl && Curl().Loaded) Curl().EasyCleanup(curl);
}

// curl.h fixes these signatures with an enum before the "...": clang warns that an enum is
// promoted, which for these int-sized enums changes nothing.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif

// Every option takes one argument, of the type its number's range says.
CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
    if (!Curl().Loaded) return CURLE_FAILED_INIT;
    va_list args;
    va_start(args, option);
    CURLcode result;
    if (option < CURLOPTTYPE_OBJECTPOINT) {
        result = Curl().EasySetopt(curl, option, va_arg(args, long));
    } else if (option < CURLOPTTYPE_OFF_T) {
        result = Curl().EasySetopt(curl, option, va_arg(args, void*));
    } else if (option < CURLOPTTYPE_BLOB) {
        result = Curl().EasySetopt(curl, option, va_arg(args, curl_off_t));
    } else {
        result = Curl().EasySetopt(curl, option, va_arg(args, void*));
    }
    va_end(args);
    return result;
}

// Every query writes through one pointer.
CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    if (!Curl().Loaded) return CURLE_FAILED_INIT;
    va_list args;
    va_start(args, info);
    void* target = va_arg(args, void*);
    va_end(args);
    return Curl().EasyGetinfo(curl, info, target);
}

#if defined(__clang__)
#pragma clang diagnostic pop
#endif

CURLM* curl_multi_init() { return Curl().Loaded ? Curl().MultiInit() : nullptr; }

CURLMcode curl_multi_cleanup(CURLM* multi) { return Curl().Loaded ? Curl().MultiCleanup(multi) : CURLM_BAD_HANDLE; }

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy) {
    return Curl().Loaded ? Curl().MultiAddHandle(multi, easy) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy) {
    return Curl().Loaded ? Curl().MultiRemoveHandle(multi, easy) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_perform(CURLM* multi, int* running) {
    return Curl().Loaded ? Curl().MultiPerform(multi, running) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd* extra, unsigned int count, int timeoutMs, int* numfds) {
    return Curl().Loaded ? Curl().MultiPoll(multi, extra, count, timeoutMs, numfds) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_wakeup(CURLM* multi) { return Curl().Loaded ? Curl().MultiWakeup(multi) : CURLM_BAD_HANDLE; }

CURLMsg* curl_multi_info_read(CURLM* multi, int* queued) {
    return Curl().Loaded ? Curl().MultiInfoRead(multi, queued) : nullptr;
}

}  // extern "C"
