#include "shell/ShellOpen.h"

#include "shell/UiThreadCall.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace palvina {

namespace {

constexpr char kFileManagerService[] = "org.freedesktop.FileManager1";
constexpr char kFileManagerPath[] = "/org/freedesktop/FileManager1";
// Asking the bus daemon itself is quick; starting a file manager may take a while.
constexpr int kBusQueryTimeoutMs = 1000;
constexpr int kShowItemsTimeoutMs = 10000;

// "scheme:" as URLs begin: a letter, then letters, digits, '+', '-' or '.'. One letter alone
// is not taken as a scheme, so that "c:..." stays a file name.
bool HasScheme(const std::string& target)
{
    if (target.empty() || !std::isalpha(static_cast<unsigned char>(target[0]))) {
        return false;
    }
    for (std::size_t i = 1; i < target.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        if (c == ':') {
            return i >= 2;
        }
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return false;
}

std::string AbsolutePath(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return absolute.empty() ? path : absolute.string();
}

// An executable binary or script: what the Windows "Open" verb would run.
bool IsProgramFile(const std::string& path)
{
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored) || access(path.c_str(), X_OK) != 0) {
        return false;
    }
    char head[4] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(head, sizeof head);
    return (in.gcount() >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0)
        || (in.gcount() >= 2 && head[0] == '#' && head[1] == '!');
}

void OpenUrl(const QUrl& url)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        CallOnUiThreadAndWait([url] { QDesktopServices::openUrl(url); });
    } else {
        QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
    }
}

// One question to the bus daemon; an invalid answer when it could not be asked.
QVariant AskBusDaemon(const QDBusConnection& bus, const QString& method, const QVariantList& arguments)
{
    QDBusMessage query = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), method);
    query.setArguments(arguments);
    const QDBusMessage reply = bus.call(query, QDBus::Block, kBusQueryTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().constFirst();
}

// Running now, or startable by the bus on demand.
bool FileManagerAvailable(const QDBusConnection& bus)
{
    const QString service = QString::fromLatin1(kFileManagerService);
    return AskBusDaemon(bus, QStringLiteral("NameHasOwner"), {service}).toBool()
        || AskBusDaemon(bus, QStringLiteral("ListActivatableNames"), {}).toStringList().contains(service);
}

void OpenContainingFolder(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(AbsolutePath(path)).parent_path();
    OpenWithShell(nullptr, folder.empty() ? std::string(".") : folder.string());
}

} // namespace

QUrl ShellTargetUrl(const std::string& target)
{
    if (HasScheme(target)) {
        return QUrl(QString::fromStdString(target), QUrl::TolerantMode);
    }
    return QUrl::fromLocalFile(QString::fromStdString(AbsolutePath(target)));
}

void OpenWithShell(QWidget* /*owner*/, const std::string& target)
{
    try {
        if (!HasScheme(target) && IsProgramFile(target)) {
            QProcess::startDetached(QString::fromStdString(AbsolutePath(target)), {});
            return;
        }
        OpenUrl(ShellTargetUrl(target));
    } catch (...) {
        // Opening is best effort; its result is not checked.
    }
}

void RevealInExplorer(const std::string& path)
{
    try {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !FileManagerAvailable(bus)) {
            OpenContainingFolder(path);
            return;
        }
        QDBusMessage showItems = QDBusMessage::createMethodCall(
            QString::fromLatin1(kFileManagerService), QString::fromLatin1(kFileManagerPath),
            QString::fromLatin1(kFileManagerService), QStringLiteral("ShowItems"));
        const QString uri =
            QUrl::fromLocalFile(QString::fromStdString(AbsolutePath(path))).toString(QUrl::FullyEncoded);
        showItems << QStringList{uri} << QString();

        if (IsUiThread()) {
            // The UI thread does not wait for a file manager that is still starting: the
            // answer arrives through the event loop.
            auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(showItems, kShowItemsTimeoutMs),
                                                        QCoreApplication::instance());
            QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                             [path](QDBusPendingCallWatcher* finished) {
                                 finished->deleteLater();
                                 try {
                                     if (finished->isError()) {
                                         OpenContainingFolder(path);
                                     }
                                 } catch (...) {
                                 }
                             });
            return;
        }
        const QDBusMessage reply = bus.call(showItems, QDBus::Block, kShowItemsTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            OpenContainingFolder(path);
        }
    } catch (...) {
        // Revealing is best effort; its result is not checked.
    }
}

} // namespace palvina
