#include "CurlLibrary.h"

const CurlLibrary* CurlLibrary::get()
{
    static const CurlLibrary* const loaded = []() -> const CurlLibrary* {
        const CurlLibrary& found = RuntimeLibrary::load<CurlLibrary>();
        // The first call, made once on this thread before any handle exists, as libcurl asks.
        if (!found.loaded() || found.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return nullptr;
        return &found;
    }();
    return loaded;
}
