#pragma once

namespace palvina {

// libcurl's process-wide set-up is not thread-safe; every code path that creates a curl handle
// calls this first. The first call initialises libcurl, later ones return at once.
void EnsureCurlGlobalInit();

} // namespace palvina
