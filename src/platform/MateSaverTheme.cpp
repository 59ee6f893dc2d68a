#include "platform/MateSaverTheme.h"

#include "files/AtomicFile.h"
#include "platform/ScreenSaverHost.h"
#include "shell/DesktopEntryExec.h"

#include <gio/gio.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace palvina {

namespace {

constexpr char kSchemaId[] = "org.mate.screensaver";

struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct SchemaKeyUnref {
    void operator()(GSettingsSchemaKey* key) const { g_settings_schema_key_unref(key); }
};
struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using SchemaPtr = std::unique_ptr<GSettingsSchema, SchemaUnref>;
using SchemaKeyPtr = std::unique_ptr<GSettingsSchemaKey, SchemaKeyUnref>;
using SettingsPtr = std::unique_ptr<GSettings, ObjectUnref>;

bool KeyHasType(GSettingsSchema* schema, const char* name, const GVariantType* type)
{
    if (!g_settings_schema_has_key(schema, name)) {
        return false;
    }
    const SchemaKeyPtr key(g_settings_schema_get_key(schema, name));
    return g_variant_type_equal(g_settings_schema_key_get_value_type(key.get()), type);
}

// The schema when it is installed with the keys we set; looked up first, since GSettings
// aborts the process on a missing schema or key.
SchemaPtr LookUpSchema()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) {
        return nullptr;
    }
    SchemaPtr schema(g_settings_schema_source_lookup(source, kSchemaId, TRUE));
    if (!schema || !KeyHasType(schema.get(), "mode", G_VARIANT_TYPE_STRING)
        || !KeyHasType(schema.get(), "themes", G_VARIANT_TYPE_STRING_ARRAY)) {
        return nullptr;
    }
    return schema;
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool IsSymlink(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

std::vector<std::string> MateSaverProgramFolders()
{
    return {"/usr/lib/mate-screensaver/mate-screensaver", "/usr/libexec/mate-screensaver",
            "/usr/libexec/xscreensaver", "/usr/lib/xscreensaver"};
}

std::string MateRunnableSaverPath(const std::string& saverPath, const std::vector<std::string>& folders)
{
    const std::string target = RealPath(saverPath);
    if (target.empty()) {
        return {};
    }
    for (const std::string& folder : folders) {
        // The screen saver goes by the path as written, so the folder must match as text.
        if (FolderOf(saverPath) == folder) {
            return saverPath;
        }
    }
    // A link made before (by us or by the package) that leads to the program.
    for (const std::string& folder : folders) {
        const std::string link = folder + "/" + kMateSaverLinkName;
        if (RealPath(link) == target) {
            return link;
        }
    }
    // Make one where we may; a file of that name that is not a link is left alone.
    for (const std::string& folder : folders) {
        const std::string link = folder + "/" + kMateSaverLinkName;
        if (access(folder.c_str(), W_OK) != 0) {
            continue;
        }
        if (IsSymlink(link)) {
            unlink(link.c_str());
        }
        if (symlink(target.c_str(), link.c_str()) == 0) {
            return link;
        }
    }
    return {};
}

std::string MateSaverThemeText(const std::string& runnablePath)
{
    return std::string("[Desktop Entry]\n")
        + "Type=Application\n"
        + "Name=Kestova桌面\n"
        + "Exec=" + DesktopEntryExec(runnablePath) + "\n"
        + "TryExec=" + DesktopEntryString(runnablePath) + "\n"
        + "StartupNotify=false\n"
        + "Terminal=false\n"
        + "Categories=Screensaver;\n"
        + "OnlyShowIn=MATE;\n";
}

bool MateSaverSchemaPresent()
{
    return LookUpSchema() != nullptr;
}

SaverInstallResult InstallMateSaverTheme(const std::string& dataHome, const std::string& saverPath,
                                         const std::vector<std::string>& folders)
{
    const SchemaPtr schema = LookUpSchema();
    if (!schema) {
        return SaverInstallResult::NoSlot;
    }
    const std::string runnable = MateRunnableSaverPath(saverPath, folders);
    if (runnable.empty()) {
        return SaverInstallResult::NoSlot;
    }
    if (dataHome.empty()) {
        return SaverInstallResult::Failed;
    }
    try {
        const std::string folder = dataHome + "/applications/screensavers";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        WriteFileAtomically(folder + "/" + kMateThemeFileName, MateSaverThemeText(runnable));
    } catch (...) {
        return SaverInstallResult::Failed;
    }
    const SettingsPtr settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    const gchar* const themes[] = {kMateThemeId, nullptr};
    const bool written = g_settings_set_strv(settings.get(), "themes", themes)
        && g_settings_set_string(settings.get(), "mode", "single");
    g_settings_sync();
    return written ? SaverInstallResult::MateScreensaver : SaverInstallResult::Failed;
}

} // namespace palvina
