#pragma once

// A stand-in for plasmashell's desktop scripting on the test's session bus: it owns the name
// org.kde.plasmashell, serves evaluateScript on /PlasmaShell and runs each script with node
// against pretend desktops kept in a JSON file, answering with what the script printed, as
// Plasma does. Without node it can still record scripts and answer with a fixed text.

#include "ProcessSupport.h"
#include "QtApplicationSupport.h"

#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QString>
#include <QtCore/QThread>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusVirtualObject>

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace palvina::test {

class PlasmaStandIn {
public:
    // `folder` holds the pretend desktops ("desktops.json") and the scripts run. The calls are
    // answered on a thread of the stand-in's own, so the test's blocking calls get through; its
    // event loop needs the application object (EnsureGuiApplication).
    explicit PlasmaStandIn(const std::string& folder)
        : folder_(folder)
        , object_(*this)
        , connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName))
    {
        setDesktops(R"({"desktops": [{"plugin": "org.kde.image", "config": {}}]})");
        if (!connection_.isConnected() || !EnsureGuiApplication()) {
            return;
        }
        object_.moveToThread(&thread_);
        thread_.start();
        connection_.registerVirtualObject(QStringLiteral("/PlasmaShell"), &object_, QDBusConnection::SingleNode);
        // The name of the stand-in of the test before may take a moment to be released.
        registered_ = WaitUntil([this] { return connection_.registerService(QStringLiteral("org.kde.plasmashell")); },
                                std::chrono::seconds(5));
    }
    ~PlasmaStandIn()
    {
        connection_.unregisterService(QStringLiteral("org.kde.plasmashell"));
        connection_.unregisterObject(QStringLiteral("/PlasmaShell"));
        QDBusConnection::disconnectFromBus(kConnectionName);
        thread_.quit();
        thread_.wait();
    }
    PlasmaStandIn(const PlasmaStandIn&) = delete;
    PlasmaStandIn& operator=(const PlasmaStandIn&) = delete;

    bool registered() const { return registered_; }
    static bool CanRunScripts() { return ProgramAvailable("node"); }

    // The pretend desktops: {"desktops": [{"plugin": ..., "config": {"Wallpaper/org.kde.image/General/Image": ...}}]}.
    void setDesktops(const std::string& json) { std::ofstream(folder_ + "/desktops.json") << json; }
    QJsonObject desktops() const
    {
        std::ifstream in(folder_ + "/desktops.json");
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    }

    // Answer every call with this D-Bus error instead (empty: run the scripts).
    void failWith(const std::string& message)
    {
        std::lock_guard lock(mutex_);
        failure_ = message;
    }

    std::vector<std::string> scripts() const
    {
        std::lock_guard lock(mutex_);
        return scripts_;
    }

private:
    static inline const QString kConnectionName = QStringLiteral("palvina-plasma-stand-in");

    // Called on the stand-in's thread.
    class Object : public QDBusVirtualObject {
    public:
        explicit Object(PlasmaStandIn& owner)
            : owner_(owner)
        {
        }
        QString introspect(const QString&) const override
        {
            return QStringLiteral("<interface name=\"org.kde.PlasmaShell\"><method name=\"evaluateScript\">"
                                  "<arg name=\"script\" type=\"s\" direction=\"in\"/>"
                                  "<arg type=\"s\" direction=\"out\"/></method></interface>");
        }
        bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
        {
            if (message.interface() != QStringLiteral("org.kde.PlasmaShell")
                || message.member() != QStringLiteral("evaluateScript") || message.arguments().size() != 1) {
                return false;
            }
            connection.send(owner_.answer(message, message.arguments().front().toString().toStdString()));
            return true;
        }

    private:
        PlasmaStandIn& owner_;
    };

    QDBusMessage answer(const QDBusMessage& call, const std::string& script)
    {
        std::string failure;
        {
            std::lock_guard lock(mutex_);
            scripts_.push_back(script);
            failure = failure_;
        }
        if (!failure.empty()) {
            return call.createErrorReply(QDBusError::Failed, QString::fromStdString(failure));
        }
        if (!CanRunScripts()) {
            return call.createErrorReply(QDBusError::NotSupported, QStringLiteral("node is not installed"));
        }
        const std::string harness = folder_ + "/script.js";
        std::ofstream(harness) << kPrologue << script << kEpilogue;
        const ProgramResult result = RunProgramForOutput({"node", harness, folder_ + "/desktops.json"});
        if (result.status != 0) {
            return call.createErrorReply(QDBusError::Failed, QStringLiteral("the script failed"));
        }
        return call.createReply(QString::fromStdString(result.output));
    }

    // Pretend desktops with the parts of Plasma's desktop object a wallpaper script uses.
    static constexpr const char* kPrologue = R"(
const fs = require('fs');
const statePath = process.argv[2];
const state = JSON.parse(fs.readFileSync(statePath, 'utf8'));
let printed = '';
function print(text) { printed += String(text) + '\n'; }
function desktops() {
    return state.desktops.map(function (s) {
        let group = [];
        return {
            get wallpaperPlugin() { return s.plugin; },
            set wallpaperPlugin(v) { s.plugin = String(v); },
            get currentConfigGroup() { return group; },
            set currentConfigGroup(v) { group = v.slice(); },
            writeConfig(key, value) { s.config[group.concat([key]).join('/')] = value; },
            readConfig(key, fallback) {
                const v = s.config[group.concat([key]).join('/')];
                return v === undefined ? fallback : v;
            },
        };
    });
}
(function () {
)";
    static constexpr const char* kEpilogue = R"(
})();
fs.writeFileSync(statePath, JSON.stringify(state));
process.stdout.write(printed);
)";

    std::string folder_;
    QThread thread_;
    Object object_;
    QDBusConnection connection_;
    bool registered_ = false;
    mutable std::mutex mutex_;
    std::vector<std::string> scripts_;
    std::string failure_;
};

} // namespace palvina::test
