#include "CurlLibrary.h"

#include "RuntimeLibrary.h"

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary* const loaded = []() -> const CurlLibrary* {
        RuntimeLibrary library(QStringLiteral("curl"), 4);
        static CurlLibrary found;
        library.resolve(found.globalInit, "curl_global_init");
        library.resolve(found.easyInit, "curl_easy_init");
        library.resolve(found.easySetopt, "curl_easy_setopt");
        library.resolve(found.easyCleanup, "curl_easy_cleanup");
        library.resolve(found.easyStrerror, "curl_easy_strerror");
        library.resolve(found.slistAppend, "curl_slist_append");
        library.resolve(found.slistFreeAll, "curl_slist_free_all");
        library.resolve(found.multiInit, "curl_multi_init");
        library.resolve(found.multiSetopt, "curl_multi_setopt");
        library.resolve(found.multiAddHandle, "curl_multi_add_handle");
        library.resolve(found.multiRemoveHandle, "curl_multi_remove_handle");
        library.resolve(found.multiSocketAction, "curl_multi_socket_action");
        library.resolve(found.multiInfoRead, "curl_multi_info_read");
        library.resolve(found.multiCleanup, "curl_multi_cleanup");
        // The first call, made once on this thread before any handle exists, as libcurl asks.
        if (!library.resolvedAll() || found.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return nullptr;
        return &found;
    }();
    return loaded;
}
