#pragma once

#include "net/PlayerLink.h"

#include <atomic>
#include <functional>
#include <string>

namespace palvina {

// The main window's side of the network threads' link: the current channel and the closing
// flag as atomics the threads read, and the calls that must reach the user-interface thread
// (the progress report, the update notice) posted there while the calling thread waits. A
// wait gives up as soon as the closing flag is set, so a thread never blocks the player's end
// and a report that has not started by then never runs.
class UiPlayerLink : public PlayerLink {
public:
    // Runs on the user-interface thread for each report; the record is a copy owned by the call.
    using ProgressHandler = std::function<void(int channelKey, const DownloadProgress& progress)>;

    explicit UiPlayerLink(ProgressHandler onProgress);

    // Written by the user-interface thread only: on a channel switch and when the player closes.
    void setCurrentChannel(int channelClass, int channelItem);
    void setClosing();

    int currentClass() const override;
    int currentItem() const override;
    bool closing() const override;
    void reportProgress(int channelKey, const DownloadProgress& progress) override;
    void showNotice(int kind, const std::string& text) override;
    void openWithShell(const std::string& target) override;

private:
    ProgressHandler onProgress_;
    std::atomic<int> currentClass_{0};
    std::atomic<int> currentItem_{0};
    std::atomic<bool> closing_{false};
};

} // namespace palvina
