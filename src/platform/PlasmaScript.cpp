#include "platform/PlasmaScript.h"

#include <QtCore/QByteArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QList>

#include <cstdio>
#include <stdexcept>

namespace palvina {

namespace {

constexpr const char* kImagePlugin = "org.kde.image";

void AppendUnicodeEscape(std::string& out, unsigned code)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
    out += buffer;
}

} // namespace

std::string JavaScriptStringLiteral(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\t':
            out += "\\t";
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7f) {
            AppendUnicodeEscape(out, c);
            continue;
        }
        // U+2028 and U+2029 end a line inside older JavaScript string literals.
        if (c == 0xe2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80
            && (static_cast<unsigned char>(text[i + 2]) == 0xa8 || static_cast<unsigned char>(text[i + 2]) == 0xa9)) {
            AppendUnicodeEscape(out, static_cast<unsigned char>(text[i + 2]) == 0xa8 ? 0x2028 : 0x2029);
            i += 2;
            continue;
        }
        out += static_cast<char>(c);
    }
    out += '"';
    return out;
}

int PlasmaFillModeFromMode(WallpaperMode mode)
{
    switch (mode) {
    case WallpaperMode::Stretched:
        return 0;
    case WallpaperMode::Fit:
        return 1;
    case WallpaperMode::Tiled:
        return 3;
    case WallpaperMode::Centred:
        return 6;
    case WallpaperMode::None:
    case WallpaperMode::Fill:
    case WallpaperMode::Span:
        break;
    }
    return 2;
}

WallpaperMode ModeFromPlasmaFillMode(int fillMode)
{
    switch (fillMode) {
    case 0:
        return WallpaperMode::Stretched;
    case 1:
        return WallpaperMode::Fit;
    case 3:
    case 4:
    case 5:
        return WallpaperMode::Tiled;
    case 6:
        return WallpaperMode::Centred;
    default:
        return WallpaperMode::Fill;
    }
}

std::string BuildPlasmaApplyScript(const std::string& imageUrl, int fillMode)
{
    return "var image = " + JavaScriptStringLiteral(imageUrl) + ";\n"
           "var fillMode = " + std::to_string(fillMode) + ";\n"
           "var all = desktops();\n"
           "for (var i = 0; i < all.length; i++) {\n"
           "    var d = all[i];\n"
           "    d.wallpaperPlugin = \"" + kImagePlugin + "\";\n"
           "    d.currentConfigGroup = [\"Wallpaper\", \"" + kImagePlugin + "\", \"General\"];\n"
           "    d.writeConfig(\"Image\", image);\n"
           "    d.writeConfig(\"FillMode\", fillMode);\n"
           "}\n";
}

std::string BuildPlasmaReadScript()
{
    return std::string("var all = desktops();\n"
                       "var out = {desktops: all.length};\n"
                       "if (all.length > 0) {\n"
                       "    var d = all[0];\n"
                       "    out.plugin = String(d.wallpaperPlugin);\n"
                       "    d.currentConfigGroup = [\"Wallpaper\", \"") + kImagePlugin + "\", \"General\"];\n"
           "    out.image = String(d.readConfig(\"Image\", \"\"));\n"
           "    out.fillMode = Number(d.readConfig(\"FillMode\", 2));\n"
           "}\n"
           "print(JSON.stringify(out));\n";
}

PlasmaWallpaper ParsePlasmaReadReply(const std::string& reply)
{
    const QList<QByteArray> lines = QByteArray::fromStdString(reply).split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QByteArray text = line->trimmed();
        if (!text.startsWith('{')) {
            continue;
        }
        const QJsonDocument document = QJsonDocument::fromJson(text);
        if (!document.isObject()) {
            continue;
        }
        const QJsonObject object = document.object();
        if (object.value(QStringLiteral("desktops")).toInt() <= 0) {
            throw std::runtime_error("Plasma has no desktop");
        }
        PlasmaWallpaper result;
        result.plugin = object.value(QStringLiteral("plugin")).toString().toStdString();
        result.imageUrl = object.value(QStringLiteral("image")).toString().toStdString();
        const QJsonValue fill = object.value(QStringLiteral("fillMode"));
        // NaN (a stored text that is no number) is written as null by JSON.stringify.
        result.fillMode = fill.isDouble() ? fill.toInt(2) : 2;
        return result;
    }
    throw std::runtime_error("Plasma's answer holds no wallpaper values");
}

} // namespace palvina
