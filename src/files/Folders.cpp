#include "files/Folders.h"

#include "files/AppDir.h"
#include "files/AsciiCase.h"

#include <dirent.h>
#include <sys/stat.h>

namespace palvina {

namespace {

bool IsPictureName(const std::string& name)
{
    const std::string extension = LowerExtension(name);
    return extension == ".jpg" || extension == ".bmp";
}

// Plain files only; a symbolic link counts as what it points to.
bool IsPlainFile(DIR* dir, const dirent* entry)
{
    if (entry->d_type == DT_REG) {
        return true;
    }
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat st {};
    return fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

} // namespace

void EnsureFolder(const std::string& path)
{
    mkdir(path.c_str(), 0777);
}

void ListImageFiles(const std::string& folder, std::vector<std::string>& list)
{
    list.clear();
    DIR* dir = opendir(WithTrailingBackslash(folder).c_str());
    if (!dir) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (IsPictureName(name) && IsPlainFile(dir, entry)) {
            list.push_back(name);
        }
    }
    closedir(dir);
}

} // namespace palvina
