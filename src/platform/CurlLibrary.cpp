#include "CurlLibrary.h"

#include "RuntimeLibrary.h"

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary* const loaded = []() -> const CurlLibrary* {
        RuntimeLibrary library(QStringLiteral("curl"), 4);
        static CurlLibrary found;
        bool complete = true;
        const auto resolve = [&](auto& function, const char* name) {
            complete = library.resolve(function, name) && complete;
        };
        resolve(found.globalInit, "curl_global_init");
        resolve(found.easyInit, "curl_easy_init");
        resolve(found.easySetopt, "curl_easy_setopt");
        resolve(found.easyCleanup, "curl_easy_cleanup");
        resolve(found.easyStrerror, "curl_easy_strerror");
        resolve(found.slistAppend, "curl_slist_append");
        resolve(found.slistFreeAll, "curl_slist_free_all");
        resolve(found.multiInit, "curl_multi_init");
        resolve(found.multiSetopt, "curl_multi_setopt");
        resolve(found.multiAddHandle, "curl_multi_add_handle");
        resolve(found.multiRemoveHandle, "curl_multi_remove_handle");
        resolve(found.multiSocketAction, "curl_multi_socket_action");
        resolve(found.multiInfoRead, "curl_multi_info_read");
        resolve(found.multiCleanup, "curl_multi_cleanup");
        // The first call, made once on this thread before any handle exists, as libcurl asks.
        if (!complete || found.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return nullptr;
        return &found;
    }();
    return loaded;
}
