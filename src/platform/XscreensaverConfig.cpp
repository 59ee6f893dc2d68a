#include "platform/XscreensaverConfig.h"

#include "files/AtomicFile.h"

#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace palvina {

namespace {

// The settings file is a list of "key: value" lines; a line ending in a backslash goes on in
// the next one. In the programs list "\n" ends an entry and "\\" is a backslash.

struct LogicalLine {
    std::size_t first = 0;  // physical lines first..last
    std::size_t last = 0;
};

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool EndsWithContinuation(const std::string& line)
{
    std::size_t backslashes = 0;
    for (auto it = line.rbegin(); it != line.rend() && *it == '\\'; ++it) {
        ++backslashes;
    }
    return backslashes % 2 == 1;
}

std::vector<LogicalLine> GroupLines(const std::vector<std::string>& lines)
{
    std::vector<LogicalLine> logical;
    for (std::size_t i = 0; i < lines.size();) {
        std::size_t j = i;
        while (j + 1 < lines.size() && EndsWithContinuation(lines[j])) {
            ++j;
        }
        logical.push_back({i, j});
        i = j + 1;
    }
    return logical;
}

std::string_view Trim(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos) {
        return {};
    }
    const std::size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

// The key of a line ("programs" for "programs:" and "*programs:"), and in `keyText` the line's
// text up to and including the colon. Empty for comments and lines without a key.
std::string KeyOf(const std::string& line, std::string& keyText)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#' || line[start] == '!') {
        return {};
    }
    const std::size_t colon = line.find(':', start);
    if (colon == std::string::npos) {
        return {};
    }
    keyText = line.substr(0, colon + 1);
    std::string_view key = Trim(std::string_view(line).substr(start, colon - start));
    if (!key.empty() && key.front() == '*') {
        key.remove_prefix(1);
    }
    return std::string(key);
}

std::string JoinLines(const std::vector<std::string>& lines, const LogicalLine& logical)
{
    std::string joined;
    for (std::size_t i = logical.first; i <= logical.last; ++i) {
        joined += lines[i];
        if (i < logical.last) {
            joined += '\n';
        }
    }
    return joined;
}

// The entries of a programs value, each in its written (escaped) form, trimmed.
std::vector<std::string> SplitEntries(std::string_view value)
{
    std::vector<std::string> entries;
    std::string current;
    const auto finish = [&] {
        const std::string_view trimmed = Trim(current);
        if (!trimmed.empty()) {
            entries.emplace_back(trimmed);
        }
        current.clear();
    };
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\') {
            current += c;
            continue;
        }
        if (i + 1 == value.size()) {
            break;
        }
        const char next = value[++i];
        if (next == 'n') {
            finish();
        } else if (next != '\n') {
            current += c;
            current += next;
        }
    }
    finish();
    return entries;
}

std::string Unescape(std::string_view entry)
{
    std::string out;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == '\\' && i + 1 < entry.size()) {
            ++i;
        }
        out += entry[i];
    }
    return out;
}

std::string EscapeForList(std::string_view line)
{
    std::string out;
    for (const char c : line) {
        if (c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// The first word of a /bin/sh command, its quotes removed.
std::string FirstShellWord(std::string_view command)
{
    std::string word;
    std::size_t i = 0;
    while (i < command.size() && command[i] != ' ' && command[i] != '\t') {
        const char c = command[i];
        if (c == '\'') {
            const std::size_t close = command.find('\'', i + 1);
            const std::size_t end = close == std::string_view::npos ? command.size() : close;
            word += command.substr(i + 1, end - i - 1);
            i = end + 1;
        } else if (c == '"') {
            ++i;
            while (i < command.size() && command[i] != '"') {
                if (command[i] == '\\' && i + 1 < command.size()
                    && std::strchr("\"\\$`", command[i + 1]) != nullptr) {
                    ++i;
                }
                word += command[i++];
            }
            ++i;
        } else if (c == '\\' && i + 1 < command.size()) {
            word += command[i + 1];
            i += 2;
        } else {
            word += c;
            ++i;
        }
    }
    return word;
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The program an entry runs: after the optional '-' (disabled), the optional visual ("GL:")
// and the optional "display name".
std::string ProgramOfEntry(const std::string& entry)
{
    const std::string plain = Unescape(entry);
    std::string_view rest = Trim(plain);
    if (!rest.empty() && rest.front() == '-') {
        rest = Trim(rest.substr(1));
    }
    const std::string_view token = rest.substr(0, rest.find_first_of(" \t"));
    if (!token.empty() && token.back() == ':') {
        rest = Trim(rest.substr(token.size()));
    }
    if (!rest.empty() && rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) {
            return {};
        }
        rest = Trim(rest.substr(close + 1));
    }
    return FirstShellWord(rest);
}

std::string ProgramsBlock(const std::string& keyText, const std::vector<std::string>& entries)
{
    std::string block = keyText + "\t\\\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        block += "\t\t" + entries[i] + (i + 1 < entries.size() ? "\t\\n\\\n" : "\t\\n\n");
    }
    return block;
}

} // namespace

std::string XscreensaverHackLine(const std::string& saverPath)
{
    // Single quotes keep everything literal; a quote itself is closed, given in double quotes
    // and reopened. No backslash is needed, so the list's own escapes stay simple.
    std::string quoted = "'";
    for (const char c : saverPath) {
        if (c == '\'') {
            quoted += "'\"'\"'";
        } else {
            quoted += c;
        }
    }
    return quoted + "' --root";
}

std::string EditXscreensaverConfig(const std::string& text, const std::string& hackLine)
{
    const std::vector<std::string> lines = SplitLines(text);
    const std::vector<LogicalLine> logical = GroupLines(lines);
    const std::string ourProgram = BaseName(FirstShellWord(Trim(hackLine)));

    bool hasMode = false;
    bool hasSelected = false;
    std::size_t programsAt = logical.size();
    std::string programsKey = "programs:";
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < logical.size(); ++k) {
        std::string keyText;
        const std::string key = KeyOf(lines[logical[k].first], keyText);
        hasMode = hasMode || key == "mode";
        hasSelected = hasSelected || key == "selected";
        if (key == "programs" && programsAt == logical.size()) {
            programsAt = k;
            programsKey = keyText;
            const std::string joined = JoinLines(lines, logical[k]);
            entries = SplitEntries(std::string_view(joined).substr(joined.find(':') + 1));
        }
    }

    // Our entry takes the place of the first one that runs our program; the others go.
    std::vector<std::string> kept;
    std::size_t selected = std::string::npos;
    for (const std::string& entry : entries) {
        if (!ourProgram.empty() && BaseName(ProgramOfEntry(entry)) == ourProgram) {
            if (selected == std::string::npos) {
                selected = kept.size();
                kept.push_back(EscapeForList(hackLine));
            }
            continue;
        }
        kept.push_back(entry);
    }
    if (selected == std::string::npos) {
        selected = kept.size();
        kept.push_back(EscapeForList(hackLine));
    }

    const std::string modeLine = "mode:\t\tone\n";
    const std::string selectedLine = "selected:\t" + std::to_string(selected) + "\n";
    const std::string missingKeys = (hasMode ? "" : modeLine) + (hasSelected ? "" : selectedLine);
    std::string out;
    for (std::size_t k = 0; k < logical.size(); ++k) {
        std::string keyText;
        const std::string key = KeyOf(lines[logical[k].first], keyText);
        if (k == programsAt) {
            out += missingKeys + ProgramsBlock(programsKey, kept);
        } else if (key == "mode") {
            out += keyText + "\t\tone\n";
        } else if (key == "selected") {
            out += keyText + "\t" + std::to_string(selected) + "\n";
        } else {
            out += JoinLines(lines, logical[k]) + "\n";
        }
    }
    if (programsAt == logical.size()) {
        out += missingKeys + ProgramsBlock(programsKey, kept);
    }
    return out;
}

std::string XscreensaverProgramsFromDefaults(const std::string& appDefaultsText)
{
    const std::vector<std::string> lines = SplitLines(appDefaultsText);
    for (const LogicalLine& logical : GroupLines(lines)) {
        std::string keyText;
        if (KeyOf(lines[logical.first], keyText) == "programs") {
            const std::string joined = JoinLines(lines, logical);
            return "programs:" + joined.substr(joined.find(':') + 1) + "\n";
        }
    }
    return {};
}

bool InstallXscreensaverEntry(const std::string& configPath, const std::string& appDefaultsPath,
                              const std::string& saverPath)
{
    // One entry is one line of the list: a path with a line break cannot be written there.
    if (saverPath.empty() || saverPath.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    try {
        std::string text;
        if (!ReadWholeFile(configPath, text)) {
            std::error_code error;
            if (std::filesystem::symlink_status(configPath, error).type()
                != std::filesystem::file_type::not_found) {
                return false;  // there but unreadable: not to be replaced blindly
            }
            std::string defaults;
            if (ReadWholeFile(appDefaultsPath, defaults)) {
                text = XscreensaverProgramsFromDefaults(defaults);
            }
        }
        WriteFileAtomically(configPath, EditXscreensaverConfig(text, XscreensaverHackLine(saverPath)));
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace palvina
