#include "DemoTree.h"

#include "CompanionXml.h"
#include "DemoContent.h"
#include "DemoPicture.h"
#include "ParallelJobs.h"
#include "compose/JpegCodec.h"
#include "files/AtomicFile.h"
#include "files/IniFile.h"

#include <filesystem>
#include <functional>
#include <system_error>
#include <vector>

namespace palvina::demo {

namespace {

namespace fs = std::filesystem;

constexpr int kPictureQuality = 85;
constexpr int kThumbnailQuality = 90;

using Jobs = std::vector<std::function<void()>>;

// Painting and encoding is nearly all the time the tool takes; it runs in parallel, while the
// INI files are written one key at a time on this thread.
void AddPictureJobs(const ChannelPlan& channel, const fs::path& folder, Jobs& jobs)
{
    for (const PicturePlan& picture : channel.pictures) {
        jobs.emplace_back([&picture, &channel, path = (folder / picture.image).string()] {
            EncodeJpegFile(
                PaintDemoPicture(picture.width, picture.height, picture.seed, channel.tint, picture.mirrored),
                path, kPictureQuality);
        });
    }
}

void WriteCompanionFiles(const ChannelPlan& channel, const fs::path& folder)
{
    for (const PicturePlan& picture : channel.pictures) {
        if (!picture.xml.empty()) {
            WriteFileAtomically((folder / picture.xml).string(),
                                CompanionXml(picture.title, picture.text, picture.link));
        }
    }
}

void WritePlayList(const ChannelPlan& channel, const fs::path& folder)
{
    const std::string file = (folder / "config.dll").string();
    WriteIniValue("PlayList", "Count", std::to_string(channel.pictures.size()), file);
    for (std::size_t i = 0; i < channel.pictures.size(); ++i) {
        const PicturePlan& picture = channel.pictures[i];
        const std::string entry = "F" + std::to_string(i);
        WriteIniValue("PlayList", entry + "_Img", picture.image, file);
        if (!picture.xml.empty()) {
            WriteIniValue("PlayList", entry + "_Xml", picture.xml, file);
        }
    }
}

// One catalogue section ("Illustrated" or "Wallpaper") and its channels' folders under `classFolder`.
void WriteNetworkChannels(const std::vector<ChannelPlan>& channels, const char* section, const fs::path& classFolder,
                          const fs::path& catalogueFolder, Jobs& jobs)
{
    const std::string catalogue = (catalogueFolder / "config.dll").string();
    WriteIniValue(section, "Count", std::to_string(channels.size()), catalogue);
    for (std::size_t n = 0; n < channels.size(); ++n) {
        const ChannelPlan& channel = channels[n];
        const std::string item = "Item" + std::to_string(n);
        WriteIniValue(section, item + "_Name", channel.name, catalogue);
        WriteIniValue(section, item + "_Img", channel.thumbnail, catalogue);
        WriteIniValue(section, item + "_Count", std::to_string(channel.pictures.size()), catalogue);
        jobs.emplace_back([&channel, path = (catalogueFolder / channel.thumbnail).string()] {
            EncodeJpegFile(PaintThumbnail(channel.seed, channel.tint), path, kThumbnailQuality);
        });

        const fs::path folder = classFolder / std::to_string(n);
        fs::create_directories(folder);
        WritePlayList(channel, folder);
        WriteCompanionFiles(channel, folder);
        AddPictureJobs(channel, folder, jobs);
    }
}

// Shared albums are fetched by absolute address: WebSite is where this folder is served.
void WriteSharedAlbums(const std::vector<ChannelPlan>& albums, const fs::path& shareFolder, const std::string& site,
                       Jobs& jobs)
{
    for (std::size_t n = 0; n < albums.size(); ++n) {
        const ChannelPlan& album = albums[n];
        const fs::path folder = shareFolder / std::to_string(n);
        fs::create_directories(folder);
        const std::string file = (folder / "config.dll").string();
        WriteIniValue("PlayList", "WebSite", site + "PalvinaDown/Share/" + std::to_string(n) + "/", file);
        WriteIniValue("PlayList", "AlbumTitle", album.name, file);
        WritePlayList(album, folder);
        AddPictureJobs(album, folder, jobs);
    }
}

void WriteTree(const DemoOptions& options, const DemoPlan& plan, const fs::path& root)
{
    const fs::path images = root / "Images";
    const fs::path catalogueFolder = images / "Class";
    fs::create_directories(catalogueFolder);

    const std::string update = (root / "update.dll").string();
    WriteIniValue("Update", "Ver", options.version, update);
    WriteIniValue("Update", "Count", "0", update);

    Jobs jobs;
    WriteNetworkChannels(plan.pictorial, "Illustrated", images / "Illustrated", catalogueFolder, jobs);
    WriteNetworkChannels(plan.wallpaper, "Wallpaper", images / "Wallpaper", catalogueFolder, jobs);
    WriteSharedAlbums(plan.shared, root / "Share", options.site, jobs);
    RunInParallel(jobs);
}

} // namespace

DemoTreeSummary WriteDemoTree(const DemoOptions& options)
{
    const fs::path output = options.outputDir;
    fs::create_directories(output);
    const fs::path staging = output / ".PalvinaDown.partial";
    const fs::path target = output / "PalvinaDown";
    fs::remove_all(staging);

    const DemoPlan plan = MakeDemoPlan(options.small, options.site);
    try {
        WriteTree(options, plan, staging);
        fs::remove_all(target);
        fs::rename(staging, target);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        throw;
    }

    DemoTreeSummary summary;
    summary.root = target.string();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(target)) {
        if (entry.is_regular_file()) {
            ++summary.files;
            summary.bytes += entry.file_size();
        }
    }
    return summary;
}

} // namespace palvina::demo
