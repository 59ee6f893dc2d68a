#pragma once

#include "files/AppDir.h"
#include "files/GbkText.h"
#include "files/TempFolder.h"
#include "net/NetConfig.h"
#include "TestServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace palvina::test {

// A program folder of its own for each test, with the delivered Images/ class folders, and two
// test servers standing for the product web site and the second download host.
class ProgramFolderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"Images", "Images/Class", "Images/Illustrated", "Images/Wallpaper",
                                   "Images/Share", "Images/MyPhoto"}) {
            std::filesystem::create_directory(app_.path() + folder);
        }
        SetAppDirForTesting(app_.path());
        SetServerBasesForTesting(site_.base(), mirror_.base());
    }

    void TearDown() override
    {
        SetServerBasesForTesting("", "");
        SetAppDirForTesting("");
    }

    // Full path of a file or folder inside the program folder.
    std::string appPath(std::string_view relative) const { return app_.file(relative); }

    TempFolder app_;
    TestServer site_;
    TestServer mirror_;
};

// An INI-format file as the server delivers it: GBK text with CR LF line ends.
inline std::string IniBody(std::initializer_list<std::string_view> lines)
{
    std::string text;
    for (std::string_view line : lines) {
        text.append(line);
        text.append("\r\n");
    }
    return Utf8ToGbk(text);
}

inline bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

} // namespace palvina::test
