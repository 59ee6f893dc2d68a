#pragma once

#include "DemoOptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace palvina::demo {

struct DemoTreeSummary {
    std::string root;  // the PalvinaDown folder written
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
};

// Writes the content server tree OUTPUT_DIR/PalvinaDown/: the update descriptor, the channel
// catalogue with its thumbnails, every channel's play list, pictures and companion files, and the
// shared albums. The tree is built beside the target and swapped in at the end, so an earlier
// tree is replaced whole (no stale files) and a failed run leaves the earlier tree as it was.
// The same options give the same bytes. Throws on any failure (FileWriteError, PictureError,
// std::filesystem::filesystem_error).
DemoTreeSummary WriteDemoTree(const DemoOptions& options);

} // namespace palvina::demo
