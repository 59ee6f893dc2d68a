#include "net/TMyThread.h"

#include "files/AppDir.h"
#include "files/Folders.h"
#include "files/IniFile.h"
#include "files/StrictNumber.h"
#include "net/DownloadFile.h"
#include "net/PlayerLink.h"
#include "net/ServerPath.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <thread>

namespace palvina {

namespace {

constexpr std::int32_t kPictorials = 0;
constexpr std::int32_t kWallpapers = 1;
constexpr std::int32_t kSharedAlbums = 3;

// class * 100 + number, the key of the progress reports. Computed wide and wrapped, so that an
// absurd number cannot overflow.
int ChannelKeyOf(std::int64_t channelClass, std::int64_t number)
{
    return static_cast<int>(static_cast<std::uint32_t>(channelClass * 100 + number));
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) && !error;
}

} // namespace

TMyThread::TMyThread(std::int32_t channelClass, std::int32_t channelNumber,
                     std::shared_ptr<PlayerLink> link, std::string shareContentUrl)
    : ChannelClass(channelClass), ChannelNumber(channelNumber), link_(std::move(link)),
      shareContentUrl_(std::move(shareContentUrl))
{
}

void TMyThread::Execute()
{
    try {
        Run();
    } catch (...) {
        // A count that is not a whole number ends the download silently.
    }
}

void TMyThread::Start(std::int32_t channelClass, std::int32_t channelNumber,
                      std::shared_ptr<PlayerLink> link, std::string shareContentUrl)
{
    auto job = std::make_unique<TMyThread>(channelClass, channelNumber, std::move(link),
                                           std::move(shareContentUrl));
    std::thread([job = std::move(job)] { job->Execute(); }).detach();
}

void TMyThread::Run()
{
    std::string classFolder;
    switch (ChannelClass) {
    case kPictorials: classFolder = "Illustrated"; break;
    case kWallpapers: classFolder = "Wallpaper"; break;
    case kSharedAlbums: classFolder = "Share"; break;
    default: return;  // own albums and unknown classes have nothing to fetch
    }
    const std::string number = std::to_string(ChannelNumber);
    const std::string localFolder = GetAppDir() + "Images/" + classFolder + "/" + number + "/";
    // Shared albums live outside the server folder; their companion files are asked from the
    // web site's root.
    const std::string serverFolder =
        ChannelClass == kSharedAlbums ? std::string() : "PalvinaDown/Images/" + classFolder + "/" + number + "/";
    const std::string playList = localFolder + "config.dll";

    // An earlier copy of the play list serves when the fetch fails.
    try {
        EnsureFolder(localFolder);
        if (ChannelClass == kSharedAlbums) {
            DownloadFile(shareContentUrl_, playList, false);
        } else {
            DownloadFile(serverFolder + "config.dll", playList, true);
        }
    } catch (...) {
    }

    if (link_->closing() || !FileExists(playList)) {
        return;
    }
    const std::string countText = ReadIniValue("PlayList", "Count", playList);
    if (countText.empty()) {
        return;
    }
    const int count = ParseStrictInt(countText);
    const int key = ChannelKeyOf(ChannelClass, ChannelNumber);
    for (int k = 0; k < count; ++k) {
        // Network channels play from the last entry down, shared albums from the first up.
        const int entry = ChannelClass == kSharedAlbums ? k : count - 1 - k;
        try {
            FetchEntry(entry, serverFolder, localFolder);
            const DownloadProgress progress{k + 1, count};
            link_->reportProgress(key, progress);
        } catch (...) {
            continue;  // an unexpected error skips the rest of this entry, checks included
        }
        if (link_->closing() || ChannelKeyOf(link_->currentClass(), link_->currentItem()) != key) {
            return;
        }
    }
}

void TMyThread::FetchEntry(int entry, const std::string& serverFolder, const std::string& localFolder)
{
    const std::string playList = localFolder + "config.dll";
    const std::string prefix = "F" + std::to_string(entry);

    // Names that are not plain file names would be written outside the channel folder: they
    // are neither fetched nor written, but the entry still counts.
    const std::string img = ReadIniValue("PlayList", prefix + "_Img", playList);
    if (!img.empty() && IsPlainFileName(img)) {
        if (ChannelClass == kSharedAlbums) {
            const std::string webSite = ReadIniValue("PlayList", "WebSite", playList);
            DownloadFile(webSite + img, localFolder + img, false);
        } else {
            DownloadFile(serverFolder + img, localFolder + img, true);
        }
    }
    const std::string xml = ReadIniValue("PlayList", prefix + "_Xml", playList);
    if (!xml.empty() && IsPlainFileName(xml)) {
        DownloadFile(serverFolder + xml, localFolder + xml, true);
    }
}

} // namespace palvina
