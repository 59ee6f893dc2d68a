#include "net/ServerPath.h"

#include "files/GbkText.h"

namespace palvina {

namespace {

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Bytes that never stand as they are in an address: non-ASCII, blanks and controls, and the
// characters that are neither reserved nor unreserved.
bool NeedsEncodingInUrl(unsigned char c)
{
    if (c <= 0x20 || c >= 0x7F) {
        return true;
    }
    switch (c) {
    case '"': case '<': case '>': case '\\': case '^': case '`': case '{': case '|': case '}':
        return true;
    default:
        return false;
    }
}

void AppendPercent(std::string& out, unsigned char c)
{
    static const char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

} // namespace

std::string EncodeServerPath(std::string_view utf8Path)
{
    const std::string gbk = Utf8ToGbk(utf8Path);
    std::string out;
    out.reserve(gbk.size() * 3);
    for (const char ch : gbk) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || c == '/') {
            out += ch;
        } else {
            AppendPercent(out, c);
        }
    }
    return out;
}

std::string EncodeAbsoluteUrl(std::string_view utf8Url)
{
    const std::string gbk = Utf8ToGbk(utf8Url);
    std::string out;
    out.reserve(gbk.size() * 3);
    for (const char ch : gbk) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEncodingInUrl(c)) {
            AppendPercent(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

bool IsPlainFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

} // namespace palvina
