#pragma once

#include <string>
#include <string_view>

namespace palvina {

// Values of INI-format files named by their full path (GB18030 on disk, UTF-8 here; the text
// rules are IniText's). Every call opens the file for that one operation: nothing is cached,
// so a value written anywhere is seen by the next read. All three are thread-safe.

// The value, or empty text when the file, the section or the key is missing.
std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file);

// Stores the value: replaces the first matching key, adds a missing key at the end of its
// section, a missing section at the end of the file, and creates a missing file (its folder
// must exist). An empty value is stored as "key=". Writes in this process are serialised and
// the file is replaced whole, so no reader sees half a file and no two writers lose each
// other's keys. Throws FileWriteError ("Unable to write to <path>") when the file cannot be
// written or read first, or the names or value cannot be stored (a line break, '=' in the
// key); the file is then left as it was.
void WriteIniValue(std::string_view section, std::string_view key, std::string_view value, const std::string& file);

// Removes the section with its header and keys when it exists and holds at least one key;
// otherwise leaves the file untouched. Throws FileWriteError as WriteIniValue does.
void EraseIniSection(std::string_view section, const std::string& file);

} // namespace palvina
