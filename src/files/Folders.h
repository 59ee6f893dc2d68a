#pragma once

#include <string>
#include <vector>

namespace palvina {

// Creates the folder when it does not exist. One level only: when the parent is missing the
// creation fails, and no failure is reported.
void EnsureFolder(const std::string& path);

// Empties `list`, then adds the names (without folder) of the folder's picture files: plain
// files, hidden ones included, whose extension (from the last '.') is ".jpg" or ".bmp" in any
// letter case. The order is the order the folder listing returns; a folder that cannot be
// listed gives an empty list.
void ListImageFiles(const std::string& folder, std::vector<std::string>& list);

} // namespace palvina
