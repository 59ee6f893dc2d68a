#include "net/TMyDownConfigThread.h"

#include "files/AppDir.h"
#include "files/AppSettings.h"
#include "files/Folders.h"
#include "files/IniFile.h"
#include "files/StrictNumber.h"
#include "net/DownloadFile.h"
#include "net/PlayerLink.h"
#include "net/ServerPath.h"

#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

namespace palvina {

namespace {

constexpr int kInformationNotice = 3;
constexpr const char* kUpdateNotice = "Kestova桌面  程序发现新版本，等待升级……";
constexpr const char* kServerFolder = "PalvinaDown/";
constexpr const char* kCatalogueFolder = "PalvinaDown/Images/Class/";

std::string LocalDateText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return text;
}

// The folder part of a file path, with its trailing '/'; empty for a bare name.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A file (not a folder) at the path; errors count as missing.
bool FileExists(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace

TMyDownConfigThread::TMyDownConfigThread(std::shared_ptr<PlayerLink> link, std::string cataloguePath,
                                         TodayFunction today)
    : link_(std::move(link)), cataloguePath_(std::move(cataloguePath)),
      today_(today ? std::move(today) : TodayFunction(LocalDateText))
{
}

void TMyDownConfigThread::Execute()
{
    // A count that is not a whole number (ConvertError) or a settings file that cannot be
    // written ends the job here; nothing leaves the thread.
    try {
        CheckForUpdate();
        RefreshCatalogue();
    } catch (...) {
    }
}

void TMyDownConfigThread::Start(std::shared_ptr<PlayerLink> link, std::string cataloguePath,
                                TodayFunction today)
{
    auto job = std::make_unique<TMyDownConfigThread>(std::move(link), std::move(cataloguePath),
                                                     std::move(today));
    std::thread([job = std::move(job)] { job->Execute(); }).detach();
}

void TMyDownConfigThread::CheckForUpdate()
{
    const std::string updateFolder = GetAppDir() + "Update/";
    EnsureFolder(updateFolder);
    const std::string descriptor = updateFolder + "Update.log";
    if (!DownloadFile(std::string(kServerFolder) + "update.dll", descriptor, true)) {
        return;
    }
    // Any difference, newer or older, is an update.
    if (ReadIniValue("Update", "Ver", descriptor) == ReadAppSetting("Update", "Ver")) {
        return;
    }
    const std::string countText = ReadIniValue("Update", "Count", descriptor);
    if (countText.empty()) {
        return;
    }
    const int count = ParseStrictInt(countText);

    // Every listed file is tried, also after a failure. A name that would land outside the
    // Update folder is never fetched and counts as not arrived.
    int arrived = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = ReadIniValue("Update", "Item" + std::to_string(i), descriptor);
        if (!IsPlainFileName(name)) {
            continue;
        }
        if (DownloadFile(kServerFolder + name, updateFolder + name, true)) {
            ++arrived;
        }
    }
    if (arrived != count) {
        return;
    }
    link_->showNotice(kInformationNotice, kUpdateNotice);
    link_->openWithShell(updateFolder + "Update.exe");
}

void TMyDownConfigThread::RefreshCatalogue()
{
    const std::string today = today_();
    if (ReadAppSetting("App", "Date") == today) {
        return;
    }
    if (!DownloadFile(std::string(kCatalogueFolder) + "config.dll", cataloguePath_, true)) {
        return;  // Date stays as it was: the next start tries again
    }
    const std::string folder = FolderOf(cataloguePath_);
    FetchMissingThumbnails("Illustrated", folder);
    FetchMissingThumbnails("Wallpaper", folder);
    WriteAppSetting("App", "Date", today);
}

void TMyDownConfigThread::FetchMissingThumbnails(std::string_view section, const std::string& folder)
{
    const std::string countText = ReadIniValue(section, "Count", cataloguePath_);
    if (countText.empty()) {
        return;
    }
    const int count = ParseStrictInt(countText);
    for (int i = 0; i < count; ++i) {
        const std::string name =
            ReadIniValue(section, "Item" + std::to_string(i) + "_Img", cataloguePath_);
        // A thumbnail on the disk is never fetched again; a name that is not a plain file name
        // would be written outside the catalogue folder and is skipped.
        if (name.empty() || !IsPlainFileName(name) || FileExists(folder + name)) {
            continue;
        }
        DownloadFile(kCatalogueFolder + name, folder + name, true);
    }
}

} // namespace palvina
