#include "net/NetConfig.h"

#include <mutex>

// The build passes the bases of the content server; these stand in when it does not.
#ifndef PALVINA_SITE_URL
#define PALVINA_SITE_URL "http://127.0.0.1:8000/"
#endif
#ifndef PALVINA_MIRROR_URL
#define PALVINA_MIRROR_URL "http://127.0.0.1:8001/"
#endif
#ifndef PALVINA_FORUM_URL
#define PALVINA_FORUM_URL "http://127.0.0.1:8000/forum/"
#endif

namespace palvina {

namespace {

// Overrides set by tests; worker threads read them, so every access holds the mutex.
std::mutex g_basesMutex;
std::string g_siteOverride;
std::string g_mirrorOverride;

} // namespace

std::string SiteUrl()
{
    std::lock_guard<std::mutex> lock(g_basesMutex);
    return g_siteOverride.empty() ? std::string(PALVINA_SITE_URL) : g_siteOverride;
}

std::string MirrorUrl()
{
    std::lock_guard<std::mutex> lock(g_basesMutex);
    return g_mirrorOverride.empty() ? std::string(PALVINA_MIRROR_URL) : g_mirrorOverride;
}

std::string ForumUrl()
{
    return PALVINA_FORUM_URL;
}

void SetServerBasesForTesting(const std::string& site, const std::string& mirror)
{
    std::lock_guard<std::mutex> lock(g_basesMutex);
    g_siteOverride = site;
    g_mirrorOverride = mirror;
}

} // namespace palvina
