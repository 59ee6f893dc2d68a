#include "net/DownloadFile.h"

#include "files/AtomicFile.h"
#include "net/CurlGlobal.h"
#include "net/NetConfig.h"
#include "net/ServerPath.h"

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace palvina {

namespace {

std::mutex g_limitsMutex;
DownloadLimits g_limits;

// Where the body of one attempt goes. The temporary file is opened with the first byte (or after
// an empty body), so an error status leaves nothing behind and a missing folder still costs a
// request, as each attempt is a fetch followed by a write.
struct BodySink {
    const std::string* localFile = nullptr;
    std::size_t maxBytes = 0;
    std::size_t received = 0;
    std::optional<AtomicFileWriter> writer;

    void open()
    {
        if (!writer) {
            writer.emplace(*localFile);
        }
    }
};

// curl's write callback: any count other than `size * count` aborts the transfer.
std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    try {
        // Also catches a server that sends more than the Content-Length it announced, or none.
        if (bytes > sink->maxBytes - sink->received) {
            return 0;
        }
        sink->open();
        sink->writer->write(data, bytes);
        sink->received += bytes;
        return bytes;
    } catch (...) {
        return 0;
    }
}

// Ends an attempt once no body byte has arrived for the stall limit. curl's own low-speed check
// averages over several seconds, so a server that sends a little and then falls silent would
// hold the thread for several seconds beyond the limit.
struct StallWatch {
    std::chrono::steady_clock::duration limit;
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
    curl_off_t lastBytes = 0;
};

int CheckStall(void* user, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal, curl_off_t ulNow)
{
    (void)dlTotal;
    (void)ulTotal;
    (void)ulNow;
    auto* watch = static_cast<StallWatch*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (dlNow != watch->lastBytes) {
        watch->lastBytes = dlNow;
        watch->lastProgress = now;
        return 0;
    }
    return now - watch->lastProgress >= watch->limit ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

// One GET of `url` into `localFile`. True only when the whole body arrived with a success status
// and replaced the local file.
bool Attempt(const std::string& url, const std::string& localFile, const DownloadLimits& limits)
{
    EnsureCurlGlobalInit();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        return false;
    }
    BodySink sink;
    sink.localFile = &localFile;
    sink.maxBytes = limits.maxBodyBytes;

    StallWatch stall{std::chrono::seconds(limits.stallSeconds)};

    CURL* h = curl.get();
    bool ok = curl_easy_setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE,
                                static_cast<curl_off_t>(limits.maxBodyBytes)) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CheckStall) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_XFERINFODATA, &stall) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
    if (!ok || curl_easy_perform(h) != CURLE_OK) {
        return false;  // the sink's writer removes its temporary file
    }
    // A 3xx without a usable Location (or a 1xx) ends as CURLE_OK too: only 2xx is a body.
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status < 200 ||
        status > 299) {
        return false;
    }
    sink.open();  // an empty body writes an empty file
    sink.writer->commit();
    return true;
}

bool AttemptNoThrow(const std::string& url, const std::string& localFile,
                    const DownloadLimits& limits)
{
    try {
        return Attempt(url, localFile, limits);
    } catch (...) {
        return false;
    }
}

} // namespace

bool DownloadFile(const std::string& remote, const std::string& localFile, bool relative)
{
    try {
        const DownloadLimits limits = CurrentDownloadLimits();
        if (!relative) {
            return AttemptNoThrow(EncodeAbsoluteUrl(remote), localFile, limits);
        }
        const std::string path = EncodeServerPath(remote);
        return AttemptNoThrow(SiteUrl() + path, localFile, limits) ||
               AttemptNoThrow(MirrorUrl() + path, localFile, limits);
    } catch (...) {
        return false;
    }
}

DownloadLimits CurrentDownloadLimits()
{
    std::lock_guard<std::mutex> lock(g_limitsMutex);
    return g_limits;
}

void SetDownloadLimitsForTesting(const DownloadLimits& limits)
{
    std::lock_guard<std::mutex> lock(g_limitsMutex);
    g_limits = limits;
}

} // namespace palvina
