#include "platform/KdeWallpaper.h"

#include "platform/AlternateWallpaperName.h"
#include "platform/PlasmaScript.h"
#include "platform/WallpaperBackends.h"
#include "platform/WallpaperMode.h"

#include <QtCore/QString>
#include <QtCore/QUrl>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>

#include <memory>
#include <stdexcept>

namespace palvina {

namespace {

constexpr int kCallTimeoutMs = 10000;
constexpr const char* kImagePlugin = "org.kde.image";

QString ToQString(const std::string& text)
{
    const QString result = QString::fromStdString(text);
    if (result.toStdString() != text) {
        throw std::runtime_error("the path is not UTF-8 text");
    }
    return result;
}

std::string PathFromPlasmaUrl(const std::string& stored)
{
    if (stored.empty() || stored[0] == '/') {
        return stored;
    }
    const QUrl url(QString::fromStdString(stored));
    return url.isLocalFile() ? url.toLocalFile().toStdString() : stored;
}

// The path the desktop shows now (possibly an alternate name), empty when it shows no picture.
std::string ShownPath(const PlasmaWallpaper& shown)
{
    return shown.plugin == kImagePlugin ? PathFromPlasmaUrl(shown.imageUrl) : std::string();
}

} // namespace

std::string EvaluatePlasmaScript(const std::string& script)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        throw std::runtime_error("no session bus to reach plasmashell on");
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.plasmashell"),
                                                       QStringLiteral("/PlasmaShell"),
                                                       QStringLiteral("org.kde.PlasmaShell"),
                                                       QStringLiteral("evaluateScript"));
    call << ToQString(script);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        throw std::runtime_error("plasmashell refused the script: " + reply.errorMessage().toStdString());
    }
    const QList<QVariant> arguments = reply.arguments();
    return arguments.isEmpty() ? std::string() : arguments.front().toString().toStdString();
}

void KdeWallpaper::apply(const WallpaperSettings& settings)
{
    std::string shownNow;
    try {
        shownNow = ShownPath(ParsePlasmaReadReply(EvaluatePlasmaScript(BuildPlasmaReadScript())));
    } catch (const std::exception&) {
        // Unknown: the picture is written under its own name.
    }
    const std::string shown = PathToShowWallpaper(settings.path, shownNow);
    const std::string url = shown.empty() ? std::string()
                                          : QUrl::fromLocalFile(ToQString(shown)).toString().toStdString();
    const WallpaperMode mode = settings.path.empty() ? WallpaperMode::None
                                                     : ModeFromWindowsValues(settings.tile, settings.style);
    EvaluatePlasmaScript(BuildPlasmaApplyScript(url, PlasmaFillModeFromMode(mode)));
}

WallpaperSettings KdeWallpaper::read()
{
    const PlasmaWallpaper shown = ParsePlasmaReadReply(EvaluatePlasmaScript(BuildPlasmaReadScript()));
    WallpaperSettings result;
    result.path = OriginalWallpaperPath(ShownPath(shown));
    WindowsValuesFromMode(result.path.empty() ? WallpaperMode::None : ModeFromPlasmaFillMode(shown.fillMode),
                          result.tile, result.style);
    return result;
}

std::unique_ptr<WallpaperBackend> MakeKdeWallpaper()
{
    return std::make_unique<KdeWallpaper>();
}

} // namespace palvina
