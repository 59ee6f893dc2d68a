#pragma once

#include <string>
#include <string_view>

namespace palvina {

// Server paths are built from the GBK form of a name: "PalvinaDown/Images/Class/风景.jpg" goes
// out as "PalvinaDown/Images/Class/%B7%E7%BE%B0.jpg". Every byte other than an unreserved
// character (A-Z a-z 0-9 - . _ ~) and '/' is percent-encoded, '%' itself included.
std::string EncodeServerPath(std::string_view utf8Path);

// An absolute address supplied from outside (a shared album's content address and WebSite
// prefix): kept as given, except that bytes that may not stand in an address (non-ASCII text,
// blanks, control characters, '"' '<' '>' '\' '^' '`' '{' '|' '}') are percent-encoded from the
// GBK form. '%' and the reserved characters stay, so an address already encoded is unchanged.
std::string EncodeAbsoluteUrl(std::string_view utf8Url);

// True when a server-supplied name is a plain file name that may be fetched and written below
// its folder: not empty, not "." or "..", and without '/', '\' or a NUL byte (so also never
// absolute). Names failing this are skipped by the download threads.
bool IsPlainFileName(std::string_view name);

} // namespace palvina
