#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace palvina {

class PlayerLink;

// The content download of one started network channel: fetches the channel's play list into
// the channel folder, then each entry's picture and companion file in play order, and reports
// progress to the main window after every entry. It stops when the player closes or has
// switched to another channel. Classes 0 (pictorials), 1 (wallpapers) and 3 (shared albums)
// are fetched; any other class ends at once.
class TMyThread {
public:
    // `shareContentUrl` is the address of a shared album's play list (class 3), taken now.
    TMyThread(std::int32_t channelClass, std::int32_t channelNumber,
              std::shared_ptr<PlayerLink> link, std::string shareContentUrl);

    // Runs the whole download once. Nothing is thrown and nothing is shown: a failed file is
    // skipped, a missing or unreadable play list ends the work without a report.
    void Execute();

    // Runs a new download on a detached thread that owns it. Throws std::system_error when no
    // thread can be started.
    static void Start(std::int32_t channelClass, std::int32_t channelNumber,
                      std::shared_ptr<PlayerLink> link, std::string shareContentUrl);

    std::int32_t ChannelClass;
    std::int32_t ChannelNumber;

private:
    void Run();
    void FetchEntry(int entry, const std::string& serverFolder, const std::string& localFolder);

    std::shared_ptr<PlayerLink> link_;
    std::string shareContentUrl_;
};

} // namespace palvina
