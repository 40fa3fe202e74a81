#pragma once

#include "RuntimeLibrary.h"

#include <curl/curl.h>

// libcurl's functions, loaded on the first exchange rather than linked: libcurl and the dozen
// libraries it pulls in take some 25 ms to load, which would come before the first window.
struct CurlLibrary : RuntimeLibrary
{
    CurlLibrary() : RuntimeLibrary(QStringLiteral("curl"), 4) {}

    Function<decltype(curl_global_init)> globalInit{*this, "curl_global_init"};
    Function<decltype(curl_easy_init)> easyInit{*this, "curl_easy_init"};
    Function<decltype(curl_easy_setopt)> easySetopt{*this, "curl_easy_setopt"};
    Function<decltype(curl_easy_cleanup)> easyCleanup{*this, "curl_easy_cleanup"};
    Function<decltype(curl_easy_strerror)> easyStrerror{*this, "curl_easy_strerror"};
    Function<decltype(curl_slist_append)> slistAppend{*this, "curl_slist_append"};
    Function<decltype(curl_slist_free_all)> slistFreeAll{*this, "curl_slist_free_all"};
    Function<decltype(curl_multi_init)> multiInit{*this, "curl_multi_init"};
    Function<decltype(curl_multi_setopt)> multiSetopt{*this, "curl_multi_setopt"};
    Function<decltype(curl_multi_add_handle)> multiAddHandle{*this, "curl_multi_add_handle"};
    Function<decltype(curl_multi_remove_handle)> multiRemoveHandle{*this,
                                                                   "curl_multi_remove_handle"};
    Function<decltype(curl_multi_socket_action)> multiSocketAction{*this,
                                                                   "curl_multi_socket_action"};
    Function<decltype(curl_multi_info_read)> multiInfoRead{*this, "curl_multi_info_read"};
    Function<decltype(curl_multi_cleanup)> multiCleanup{*this, "curl_multi_cleanup"};

    // The library, initialised once; nullptr where libcurl cannot be loaded.
    static const CurlLibrary* get();
};
