#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace palvina {

class PlayerLink;

// The background job of every start: checks the server for a new program version (and hands
// over to the update program once all of its files have arrived), then refreshes the channel
// catalogue and its missing thumbnails at most once per calendar day. It talks to the player
// only through files, one notice and one shell open; it ignores the closing flag.
class TMyDownConfigThread {
public:
    // Returns the current day as "yyyymmdd".
    using TodayFunction = std::function<std::string()>;

    // `cataloguePath` is the full path of the channel catalogue; its folder receives the
    // thumbnails. An empty `today` uses the local date.
    TMyDownConfigThread(std::shared_ptr<PlayerLink> link, std::string cataloguePath,
                        TodayFunction today = {});

    // Runs the update check and then the catalogue refresh, once. Nothing is thrown: every
    // failure ends the job silently.
    void Execute();

    // Runs a new job on a detached thread that owns it. Throws std::system_error when no
    // thread can be started.
    static void Start(std::shared_ptr<PlayerLink> link, std::string cataloguePath,
                      TodayFunction today = {});

private:
    void CheckForUpdate();
    void RefreshCatalogue();
    void FetchMissingThumbnails(std::string_view section, const std::string& folder);

    std::shared_ptr<PlayerLink> link_;
    std::string cataloguePath_;
    TodayFunction today_;
};

} // namespace palvina
