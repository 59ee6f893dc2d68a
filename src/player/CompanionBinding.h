#pragma once

#include "platform/SharedModule.h"

#include <chrono>
#include <memory>
#include <string>

namespace palvina {

// The player's side of the companion module "Fennick.so": loading it, handing it the companion
// file of each network picture shown, renewing its window after a channel switch, and closing
// it. Every entry point is looked up by name at each call; a missing one skips that call. All
// calls run on the user-interface thread.
class CompanionBinding {
public:
    // switchPause: how long the window stays closed while the channel switches (1 s in the
    // player; tests pass a short one).
    explicit CompanionBinding(std::chrono::milliseconds switchPause = std::chrono::seconds(1));
    // Closes and unloads the module if close() has not run yet.
    ~CompanionBinding();
    CompanionBinding(const CompanionBinding&) = delete;
    CompanionBinding& operator=(const CompanionBinding&) = delete;

    // Loads the module and calls "ShowForm" with the application object; errors while loading
    // or inside "ShowForm" are ignored. A module that cannot be loaded is reported with a
    // warning notice and the binding stays empty (the caller then ends the player).
    // Returns whether the module is loaded.
    bool start();

    // After a network picture was applied: writes App/AdPath, calls "ReadImgAd" with the path
    // in GB18030 (a null pointer for an empty path) and marks the module as shown. Without a
    // loaded module nothing happens; without "ReadImgAd" only the key is written.
    void showCompanionFile(const std::string& companionPath);

    // After the channel chooser closed or the stored channel was resumed: when the module has
    // been shown a companion file, "CloseForm", a pause that keeps the interface running,
    // "ShowForm", and the mark cleared.
    void refreshAfterSwitch();

    // At the player's close: "CloseForm", then the module is unloaded. Errors of the module
    // are ignored here: the player is ending.
    void close();

    const SharedModule& companionModule() const { return module_; }
    bool isLoaded() const { return module_.isLoaded(); }
    bool adShown() const { return adShown_; }

private:
    void callShowForm();
    void callCloseForm();
    void pause();

    SharedModule module_;
    bool adShown_ = false;
    std::chrono::milliseconds switchPause_;
    // Cleared by the destructor: a pause whose event loop outlived the binding must not touch it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace palvina
