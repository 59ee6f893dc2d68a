#include "platform/AlternateWallpaperName.h"

#include "files/Errors.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace palvina {

namespace {

constexpr std::string_view kMark = ".alt";

struct PathParts {
    std::string folder;  // with its trailing '/', or empty
    std::string name;    // the file name
};

PathParts SplitPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {"", path};
    }
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Replaces `alternate` by a link to `original` (or a copy of it), so it shows the picture's
// content as it is now, even when the picture was replaced by a new file since the last time.
void MakeAlternate(const std::string& original, const std::string& alternate)
{
    std::error_code ignored;
    std::filesystem::remove(alternate, ignored);
    if (link(original.c_str(), alternate.c_str()) == 0) {
        return;
    }
    std::error_code error;
    std::filesystem::copy_file(original, alternate, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        std::filesystem::remove(alternate, ignored);
        throw FileWriteError(alternate);
    }
}

} // namespace

std::string AlternateWallpaperPath(const std::string& path)
{
    const PathParts parts = SplitPath(path);
    const std::size_t dot = parts.name.rfind('.');
    // A leading dot (a hidden file) is part of the name, not the start of an extension.
    if (dot == std::string::npos || dot == 0) {
        return parts.folder + "." + parts.name + std::string(kMark);
    }
    return parts.folder + "." + parts.name.substr(0, dot) + std::string(kMark) + parts.name.substr(dot);
}

std::string PathToShowWallpaper(const std::string& wanted, const std::string& shownNow)
{
    if (wanted.empty() || shownNow != wanted) {
        return wanted;
    }
    const std::string alternate = AlternateWallpaperPath(wanted);
    MakeAlternate(wanted, alternate);
    return alternate;
}

std::string OriginalWallpaperPath(const std::string& shown)
{
    const PathParts parts = SplitPath(shown);
    if (parts.name.size() <= 1 || parts.name[0] != '.') {
        return shown;
    }
    const std::string_view rest = std::string_view(parts.name).substr(1);
    std::string original;
    if (EndsWith(rest, kMark)) {
        // The picture had no extension: ".name.alt".
        original = parts.folder + std::string(rest.substr(0, rest.size() - kMark.size()));
    } else {
        const std::size_t dot = rest.rfind('.');
        if (dot == std::string_view::npos || !EndsWith(rest.substr(0, dot), kMark)) {
            return shown;
        }
        original = parts.folder + std::string(rest.substr(0, dot - kMark.size())) + std::string(rest.substr(dot));
    }
    if (original == parts.folder || AlternateWallpaperPath(original) != shown) {
        return shown;
    }
    std::error_code ignored;
    return std::filesystem::exists(original, ignored) ? original : shown;
}

} // namespace palvina
