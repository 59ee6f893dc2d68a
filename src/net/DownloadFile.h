#pragma once

#include <cstddef>
#include <string>

namespace palvina {

// Fetches one file with an HTTP GET and writes its whole body to `localFile`.
//   remote     a path below the host roots ("PalvinaDown/update.dll") when `relative`, else a
//              complete absolute address
//   localFile  full path of the file to create or replace; its folder must exist (none is made)
// A relative path is tried on the product web site and, after any failure, once more on the
// second download host; an absolute address gets one attempt. The body goes to a temporary
// file in the same folder that is renamed over `localFile` only once it has arrived whole, so
// a failed or cut-off transfer leaves an existing file as it was. Only http and https are
// fetched; up to 5 redirects are followed and only a 2xx answer counts as a body. Every failure
// (no connection, an error status, a stalled or oversized body, a failed write) is a false
// result; nothing is thrown or shown. Thread-safe: each attempt has its own client.
bool DownloadFile(const std::string& remote, const std::string& localFile, bool relative);

// Limits of one attempt. A dead or stalled server must not hold a worker thread forever.
struct DownloadLimits {
    long connectTimeoutSeconds = 15;
    long stallSeconds = 30;                    // fewer than 1 byte/s for this long ends the attempt
    std::size_t maxBodyBytes = 256u << 20;     // larger bodies are refused
};
DownloadLimits CurrentDownloadLimits();
void SetDownloadLimitsForTesting(const DownloadLimits& limits);

} // namespace palvina
