#include "platform/GSettingsWallpaper.h"

#include "platform/AlternateWallpaperName.h"
#include "platform/CheckedGSettings.h"
#include "platform/WallpaperBackends.h"

#include <glib.h>

#include <memory>
#include <stdexcept>
#include <string_view>

namespace palvina {

namespace {

struct OptionName {
    WallpaperMode mode;
    const char* option;
};

constexpr OptionName kOptions[] = {
    {WallpaperMode::None, "none"},         {WallpaperMode::Tiled, "wallpaper"},
    {WallpaperMode::Centred, "centered"},  {WallpaperMode::Fit, "scaled"},
    {WallpaperMode::Stretched, "stretched"}, {WallpaperMode::Fill, "zoom"},
    {WallpaperMode::Span, "spanned"},
};

// A text that already names a resource ("scheme://..."), such as a user's wallpaper that was not
// a local file: passed through as it is in both directions.
bool LooksLikeUri(std::string_view text)
{
    const std::size_t colon = text.find("://");
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    for (char c : text.substr(0, colon)) {
        if (!g_ascii_isalnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return g_ascii_isalpha(text[0]);
}

std::string UriFromPath(const std::string& path)
{
    if (path.empty() || LooksLikeUri(path)) {
        return path;
    }
    GError* error = nullptr;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
    if (!uri) {
        const std::string message = error ? error->message : "not an absolute path";
        g_clear_error(&error);
        throw std::runtime_error("cannot name " + path + " as a file URI: " + message);
    }
    std::string result = uri;
    g_free(uri);
    return result;
}

std::string PathFromUri(const std::string& uri)
{
    if (uri.empty()) {
        return uri;
    }
    gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    if (!path) {
        return uri;
    }
    std::string result = path;
    g_free(path);
    return result;
}

} // namespace

const char* PictureOptionFromMode(WallpaperMode mode)
{
    for (const OptionName& entry : kOptions) {
        if (entry.mode == mode) {
            return entry.option;
        }
    }
    return "zoom";
}

WallpaperMode ModeFromPictureOption(const std::string& option)
{
    for (const OptionName& entry : kOptions) {
        if (option == entry.option) {
            return entry.mode;
        }
    }
    return WallpaperMode::Fill;
}

GSettingsWallpaper::GSettingsWallpaper(const GSettingsWallpaperKeys& keys)
    : keys_(keys)
{
}

void GSettingsWallpaper::apply(const WallpaperSettings& settings)
{
    CheckedGSettings store(keys_.schema);
    // Both keys are checked before anything is written, so a half-known schema changes nothing.
    if (!store.hasKey(keys_.pictureKey, "s") || !store.hasKey(keys_.optionsKey, "s")) {
        throw std::runtime_error(std::string(keys_.schema) + " lacks the wallpaper keys");
    }
    const bool withDark = keys_.darkKey && store.hasKey(keys_.darkKey, "s");

    const WallpaperMode mode = settings.path.empty() ? WallpaperMode::None
                                                     : ModeFromWindowsValues(settings.tile, settings.style);
    const std::string current = store.getString(keys_.pictureKey);
    const std::string shownNow = keys_.pictureIsUri ? PathFromUri(current) : current;
    const std::string shown = PathToShowWallpaper(settings.path, shownNow);
    const std::string value = keys_.pictureIsUri ? UriFromPath(shown) : shown;

    store.delay();
    // MATE has no "none": there an empty picture name alone shows no picture.
    if (mode != WallpaperMode::None || store.acceptsString(keys_.optionsKey, PictureOptionFromMode(mode))) {
        store.setString(keys_.optionsKey, PictureOptionFromMode(mode));
    }
    store.setString(keys_.pictureKey, value);
    if (withDark) {
        store.setString(keys_.darkKey, value);
    }
    store.apply();
}

WallpaperSettings GSettingsWallpaper::read()
{
    CheckedGSettings store(keys_.schema);
    const std::string picture = store.getString(keys_.pictureKey);
    const WallpaperMode mode = ModeFromPictureOption(store.getString(keys_.optionsKey));

    WallpaperSettings result;
    // "none" or an empty picture shows no picture, which the program's values say with an empty
    // path.
    if (mode != WallpaperMode::None) {
        result.path = OriginalWallpaperPath(keys_.pictureIsUri ? PathFromUri(picture) : picture);
    }
    WindowsValuesFromMode(result.path.empty() ? WallpaperMode::None : mode, result.tile, result.style);
    return result;
}

std::unique_ptr<WallpaperBackend> MakeGnomeWallpaper()
{
    return std::make_unique<GSettingsWallpaper>(GSettingsWallpaperKeys{
        "gnome", "org.gnome.desktop.background", "picture-uri", "picture-uri-dark", "picture-options", true});
}

std::unique_ptr<WallpaperBackend> MakeCinnamonWallpaper()
{
    return std::make_unique<GSettingsWallpaper>(GSettingsWallpaperKeys{
        "cinnamon", "org.cinnamon.desktop.background", "picture-uri", nullptr, "picture-options", true});
}

std::unique_ptr<WallpaperBackend> MakeMateWallpaper()
{
    return std::make_unique<GSettingsWallpaper>(GSettingsWallpaperKeys{
        "mate", "org.mate.background", "picture-filename", nullptr, "picture-options", false});
}

} // namespace palvina
