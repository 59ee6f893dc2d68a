#include "net/CurlGlobal.h"

#include <curl/curl.h>

#include <mutex>

namespace palvina {

void EnsureCurlGlobalInit()
{
    static std::once_flag once;
    // Never cleaned up: detached download threads may still hold handles when the process ends.
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace palvina
