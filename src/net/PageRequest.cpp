#include "net/PageRequest.h"

#include "net/CurlGlobal.h"
#include "net/DownloadFile.h"
#include "net/ServerPath.h"

#include <curl/curl.h>

#include <cstddef>
#include <memory>
#include <thread>

namespace palvina {

namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

struct DiscardedBody {
    std::size_t received = 0;
    std::size_t limit = 0;
};

// Counts the body and drops it; a body over the limit ends the transfer.
std::size_t DiscardBody(char*, std::size_t size, std::size_t count, void* user)
{
    auto* body = static_cast<DiscardedBody*>(user);
    const std::size_t bytes = size * count;
    body->received += bytes;
    return body->received > body->limit ? 0 : bytes;
}

} // namespace

bool RequestPage(const std::string& url)
{
    try {
        EnsureCurlGlobalInit();
        std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
        if (!handle) {
            return false;
        }
        const std::string address = EncodeAbsoluteUrl(url);
        const DownloadLimits limits = CurrentDownloadLimits();
        DiscardedBody body;
        body.limit = limits.maxBodyBytes;
        CURL* curl = handle.get();
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DiscardBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
        if (curl_easy_perform(curl) != CURLE_OK) {
            return false;
        }
        // A redirect without a usable Location also ends as CURLE_OK: only 2xx is an answer.
        long status = 0;
        return curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= 200 &&
               status <= 299;
    } catch (...) {
        return false;
    }
}

void RequestPageInBackground(const std::string& url)
{
    try {
        std::thread([url] { RequestPage(url); }).detach();
    } catch (...) {
        // No thread to spare: the report is lost, as a failed request would be.
    }
}

} // namespace palvina
