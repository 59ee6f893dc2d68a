#include "files/IniText.h"

#include "files/AsciiCase.h"
#include "files/GbkText.h"

#include <algorithm>
#include <optional>

namespace palvina {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Blanks are ASCII and never part of a multi-byte GB18030 character, so trimming works on
// the raw bytes as well as on the decoded text.
std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A name as the file will hold it: without surrounding blanks, and with whatever a trip
// through GB18030 changes (invalid bytes) already changed, so it matches what was written.
std::string CanonicalName(std::string_view name)
{
    return std::string(Trim(GbkToUtf8(Utf8ToGbk(name))));
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::vector<std::string_view> SplitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t newline = bytes.find('\n', start);
        const std::size_t end = newline == std::string_view::npos ? bytes.size() : newline;
        std::size_t contentEnd = end;
        if (newline != std::string_view::npos && contentEnd > start && bytes[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        lines.push_back(bytes.substr(start, contentEnd - start));
        start = end + 1;
    }
    return lines;
}

// Views on the lines for matching: a byte order mark in front of the first line is ignored.
std::vector<std::string_view> MatchViews(const std::vector<std::string_view>& lines)
{
    std::vector<std::string_view> views = lines;
    if (!views.empty()) {
        for (std::string_view bom : {std::string_view("\x84\x31\x95\x33"), std::string_view("\xEF\xBB\xBF")}) {
            if (views[0].substr(0, bom.size()) == bom) {
                views[0].remove_prefix(bom.size());
                break;
            }
        }
    }
    return views;
}

std::vector<std::string_view> MatchViews(const std::vector<std::string>& lines)
{
    return MatchViews(std::vector<std::string_view>(lines.begin(), lines.end()));
}

bool IsHeader(std::string_view line)
{
    line = Trim(line);
    return !line.empty() && line.front() == '[';
}

std::string HeaderName(std::string_view line)
{
    const std::string decoded = GbkToUtf8(Trim(line));
    std::string_view name = std::string_view(decoded).substr(1);
    const std::size_t close = name.rfind(']');
    if (close != std::string_view::npos) {
        name = name.substr(0, close);
    }
    return std::string(Trim(name));
}

struct KeyLine {
    std::string_view key;    // raw bytes, trimmed
    std::string_view value;  // raw bytes after the first '='
};

// '=' is ASCII and never part of a multi-byte GB18030 character: the first '=' of the raw
// line is the first '=' of its text.
std::optional<KeyLine> SplitKeyLine(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{Trim(line.substr(0, equals)), line.substr(equals + 1)};
}

// The lines of one section: the header and the body (header + 1 .. end).
struct Section {
    std::size_t header;
    std::size_t end;
};

std::optional<Section> FindSection(const std::vector<std::string_view>& lines, std::string_view name)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsHeader(lines[i]) && SameIgnoringAsciiCase(HeaderName(lines[i]), name)) {
            std::size_t end = i + 1;
            while (end < lines.size() && !IsHeader(lines[end])) {
                ++end;
            }
            return Section{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string_view>& lines, Section section,
                                   std::string_view key)
{
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        const std::optional<KeyLine> line = SplitKeyLine(lines[i]);
        if (line && SameIgnoringAsciiCase(GbkToUtf8(line->key), key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string FindValue(const std::vector<std::string_view>& lines, std::string_view section, std::string_view key)
{
    const std::string sectionName = CanonicalName(section);
    const std::string keyName = CanonicalName(key);
    const std::optional<Section> found = FindSection(lines, sectionName);
    if (!found) {
        return {};
    }
    const std::optional<std::size_t> line = FindKey(lines, *found, keyName);
    if (!line) {
        return {};
    }
    const std::string value = GbkToUtf8(Trim(SplitKeyLine(lines[*line])->value));
    return CutToGbkBytes(value, IniText::kMaxValueBytes);
}

} // namespace

IniText::IniText(std::string_view bytes)
{
    for (std::string_view line : SplitLines(bytes)) {
        lines_.emplace_back(line);
    }
}

std::string IniText::value(std::string_view section, std::string_view key) const
{
    return FindValue(MatchViews(lines_), section, key);
}

std::string IniText::Lookup(std::string_view bytes, std::string_view section, std::string_view key)
{
    return FindValue(MatchViews(SplitLines(bytes)), section, key);
}

bool IniText::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = CanonicalName(section);
    const std::string keyName = CanonicalName(key);
    if (HasLineBreak(sectionName) || HasLineBreak(keyName) || HasLineBreak(value) ||
        keyName.find('=') != std::string::npos || (!keyName.empty() && keyName.front() == '[')) {
        return false;
    }
    const std::string encodedValue = Utf8ToGbk(value);
    const std::vector<std::string_view> lines = MatchViews(lines_);
    const std::optional<Section> found = FindSection(lines, sectionName);
    if (!found) {
        lines_.push_back("[" + Utf8ToGbk(sectionName) + "]");
        lines_.push_back(Utf8ToGbk(keyName) + "=" + encodedValue);
        return true;
    }
    if (const std::optional<std::size_t> line = FindKey(lines, *found, keyName)) {
        lines_[*line] = std::string(SplitKeyLine(lines[*line])->key) + "=" + encodedValue;
        return true;
    }
    // A new key goes after the section's last key line, ahead of trailing blank lines and
    // whatever else precedes the next section.
    std::size_t insertAt = found->header + 1;
    for (std::size_t i = found->header + 1; i < found->end; ++i) {
        if (SplitKeyLine(lines[i])) {
            insertAt = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Utf8ToGbk(keyName) + "=" + encodedValue);
    return true;
}

bool IniText::eraseSection(std::string_view section)
{
    const std::string name = CanonicalName(section);
    const std::vector<std::string_view> lines = MatchViews(lines_);
    const std::optional<Section> found = FindSection(lines, name);
    if (!found) {
        return false;
    }
    bool hasKey = false;
    for (std::size_t i = found->header + 1; i < found->end && !hasKey; ++i) {
        hasKey = SplitKeyLine(lines[i]).has_value();
    }
    if (!hasKey) {
        return false;
    }
    std::vector<std::string> kept;
    kept.reserve(lines_.size());
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (IsHeader(lines[i])) {
            inSection = SameIgnoringAsciiCase(HeaderName(lines[i]), name);
        }
        if (!inSection) {
            kept.push_back(std::move(lines_[i]));
        }
    }
    lines_ = std::move(kept);
    return true;
}

std::string IniText::bytes() const
{
    std::size_t size = 0;
    for (const std::string& line : lines_) {
        size += line.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace palvina
