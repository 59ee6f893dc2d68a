#include "shell/DesktopEntryExec.h"

#include <string_view>

namespace palvina {

namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

} // namespace

std::string DesktopEntryString(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string DesktopEntryExec(const std::string& path)
{
    const bool quote = path.empty() || path.find_first_of(kReserved) != std::string::npos;
    std::string argument;
    if (quote) {
        argument += '"';
    }
    for (const char c : path) {
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) {
            argument += '\\';
        }
        if (c == '%') {
            argument += '%';
        }
        argument += c;
    }
    if (quote) {
        argument += '"';
    }
    return DesktopEntryString(argument);
}

} // namespace palvina
