#pragma once

#include <cstdint>
#include <string>

namespace palvina {

// What a channel content thread reports after each play-list entry.
struct DownloadProgress {
    std::int32_t Done = 0;   // entries handled so far, 1 for the first
    std::int32_t Total = 0;  // the play list's Count
};

// The narrow view the network threads have of the player's main window. The main window
// implements it; tests implement it with a recorder. Threads hold it by shared_ptr, so it stays
// alive as long as any thread may call it. Every member may be called from any thread.
class PlayerLink {
public:
    virtual ~PlayerLink() = default;

    // The player's current channel and closing flag (atomics in the main window).
    virtual int currentClass() const = 0;
    virtual int currentItem() const = 0;
    virtual bool closing() const = 0;

    // Delivers the progress report to the main window and returns once it has been handled
    // there (or at once when the player is closing). `channelKey` is class * 100 + number of
    // the reporting thread. `progress` is valid only during the call.
    virtual void reportProgress(int channelKey, const DownloadProgress& progress) = 0;

    // ShowNotice on the main window's thread; returns when the user has closed the box (or at
    // once when the player is closing).
    virtual void showNotice(int kind, const std::string& text) = 0;

    // Opens a document or program with the desktop's default handler; the result is not checked.
    virtual void openWithShell(const std::string& target) = 0;
};

} // namespace palvina
