#pragma once

#include <string>

namespace palvina {

// The hosts of the content server, each the root of a web host ending in '/'. They come from
// the build (PALVINA_SITE_URL, PALVINA_MIRROR_URL, PALVINA_FORUM_URL).
std::string SiteUrl();    // product web site: first attempt of every download, counter pages
std::string MirrorUrl();  // second download host: second and last attempt of a relative path
std::string ForumUrl();   // the forum page of the product web site

// Test use only: point the two download hosts elsewhere (a server on 127.0.0.1); empty texts
// restore the built-in bases.
void SetServerBasesForTesting(const std::string& site, const std::string& mirror);

} // namespace palvina
