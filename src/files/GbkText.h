#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace palvina {

// Text inside the program is UTF-8; files on disk are GB18030, the superset of GBK that also
// keeps characters GBK lacks. These conversions are thread-safe and never throw on bad input:
// a byte that does not start a valid sequence becomes U+FFFD (and U+FFFD in turn is written
// as its GB18030 form). Pure ASCII passes through unchanged without a conversion.

// GB18030 (or GBK) bytes -> UTF-8. The single byte 0x80, the euro sign of code page 936 as
// Windows writes it, reads as the euro sign.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 -> GB18030 bytes. Every character of the UTF-8 text becomes exactly one GB18030
// character (1, 2 or 4 bytes).
std::string Utf8ToGbk(std::string_view utf8);

// The UTF-8 text with every invalid byte replaced by U+FFFD: the form the text has after a
// trip through the GB18030 form and back.
std::string SanitizeUtf8(std::string_view utf8);

// Length in bytes of the text's GB18030 form.
std::size_t GbkLength(std::string_view utf8);

// The longest leading part of the text whose GB18030 form has at most maxBytes bytes; a
// character the cut would split is dropped whole. Invalid bytes come out as U+FFFD.
std::string CutToGbkBytes(std::string_view utf8, std::size_t maxBytes);

} // namespace palvina
