#include "player/CompanionBinding.h"

#include "files/AppSettings.h"
#include "files/GbkText.h"
#include "shell/Notice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <thread>

namespace palvina {

namespace {

constexpr const char* kModuleName = "Fennick.so";
constexpr const char* kMissingModuleText = "程序缺少文件，停止运行！";

using ShowFormEntry = void (*)(void* application);
using CloseFormEntry = void (*)();
using ReadImgAdEntry = void (*)(const char* gbkPath);

template <typename Entry>
Entry Lookup(const SharedModule& module, const char* name)
{
    return reinterpret_cast<Entry>(module.symbol(name));
}

} // namespace

CompanionBinding::CompanionBinding(std::chrono::milliseconds switchPause)
    : switchPause_(switchPause)
{
}

CompanionBinding::~CompanionBinding()
{
    *alive_ = false;
    close();
}

bool CompanionBinding::start()
{
    try {
        if (module_.load(kModuleName)) {
            callShowForm();
        }
    } catch (...) {
        // A failing "ShowForm" does not stop the player.
    }
    if (!module_.isLoaded()) {
        ShowNotice(2, kMissingModuleText);
    }
    return module_.isLoaded();
}

void CompanionBinding::showCompanionFile(const std::string& companionPath)
{
    if (!module_.isLoaded()) {
        return;
    }
    WriteAppSetting("App", "AdPath", companionPath);
    const auto readImgAd = Lookup<ReadImgAdEntry>(module_, "ReadImgAd");
    if (!readImgAd) {
        return;
    }
    const std::string gbkPath = Utf8ToGbk(companionPath);
    readImgAd(gbkPath.empty() ? nullptr : gbkPath.c_str());
    adShown_ = true;
}

void CompanionBinding::refreshAfterSwitch()
{
    if (!module_.isLoaded() || !adShown_) {
        return;
    }
    // Cleared first: a picture shown while the pause runs marks the new window as shown.
    adShown_ = false;
    callCloseForm();
    const std::shared_ptr<bool> alive = alive_;
    pause();
    if (!*alive) {
        return;
    }
    // The player may have closed and unloaded the module during the pause: the lookup then
    // finds nothing and the call is skipped.
    callShowForm();
}

void CompanionBinding::close()
{
    if (!module_.isLoaded()) {
        return;
    }
    try {
        callCloseForm();
    } catch (...) {
        // Nothing is left to report to while the player ends.
    }
    module_.unload();
}

void CompanionBinding::callShowForm()
{
    if (const auto showForm = Lookup<ShowFormEntry>(module_, "ShowForm")) {
        showForm(QCoreApplication::instance());
    }
}

void CompanionBinding::callCloseForm()
{
    if (const auto closeForm = Lookup<CloseFormEntry>(module_, "CloseForm")) {
        closeForm();
    }
}

void CompanionBinding::pause()
{
    if (switchPause_.count() <= 0) {
        return;
    }
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(switchPause_);
        return;
    }
    // Wait inside an event loop so the windows keep painting and answering meanwhile.
    QEventLoop loop;
    QTimer::singleShot(switchPause_, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace palvina
