#include "files/AppDir.h"
#include "files/AppSettings.h"
#include "files/Errors.h"
#include "files/IniFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace palvina {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

class IniFileTest : public testing::Test {
protected:
    TempFolder folder;
    const std::string ini = folder.file("config.dll");
};

TEST_F(IniFileTest, ChineseTextIsGb18030OnDiskWithCrLf)
{
    WriteIniValue("频道", "名称", "中文", ini);
    WriteIniValue("频道", "Count", "3", ini);
    EXPECT_EQ(ReadBytes(ini), "[\xC6\xB5\xB5\xC0]\r\n\xC3\xFB\xB3\xC6=\xD6\xD0\xCE\xC4\r\nCount=3\r\n");
    EXPECT_EQ(ReadIniValue("频道", "名称", ini), "中文");
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedByWrite)
{
    EXPECT_EQ(ReadIniValue("App", "PlayPath", ini), "");
    WriteIniValue("App", "PlayPath", "/x/", ini);
    EXPECT_EQ(ReadIniValue("App", "playpath", ini), "/x/");
}

TEST_F(IniFileTest, EmptyValueStaysAsKey)
{
    WriteIniValue("App", "IsFrame", "1", ini);
    WriteIniValue("App", "IsFrame", "", ini);
    EXPECT_EQ(ReadBytes(ini), "[App]\r\nIsFrame=\r\n");
    EXPECT_EQ(ReadIniValue("App", "IsFrame", ini), "");
}

TEST_F(IniFileTest, MissingFolderThrowsWithPath)
{
    const std::string path = folder.file("no-such-folder/config.ini");
    try {
        WriteIniValue("App", "K", "1", path);
        FAIL() << "no error";
    } catch (const FileWriteError& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + path).c_str());
    }
}

TEST_F(IniFileTest, ReadOnlyFileThrowsAndStaysUntouched)
{
    const std::string original = "[App]\r\nK=1\r\n";
    WriteBytes(ini, original);
    chmod(ini.c_str(), 0444);
    EXPECT_THROW(WriteIniValue("App", "K", "2", ini), FileWriteError);
    EXPECT_EQ(ReadBytes(ini), original);
}

TEST_F(IniFileTest, UnreadableFileIsNotOverwritten)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind root";
    }
    WriteBytes(ini, "[App]\r\nK=1\r\n");
    chmod(ini.c_str(), 0200);
    EXPECT_THROW(WriteIniValue("App", "J", "2", ini), FileWriteError);
    chmod(ini.c_str(), 0600);
    EXPECT_EQ(ReadBytes(ini), "[App]\r\nK=1\r\n");
}

TEST_F(IniFileTest, ValueWithLineBreakIsRefused)
{
    const std::string original = "[App]\r\nK=1\r\n";
    WriteBytes(ini, original);
    EXPECT_THROW(WriteIniValue("App", "K", "a\nb", ini), FileWriteError);
    EXPECT_EQ(ReadBytes(ini), original);
}

TEST_F(IniFileTest, EraseOfSectionWithoutKeysLeavesFileAlone)
{
    const std::string original = "[Data]\nItemCount=1\n[123456]\n\n";  // LF only: a rewrite would show
    WriteBytes(ini, original);
    EraseIniSection("123456", ini);
    EXPECT_EQ(ReadBytes(ini), original);
    EraseIniSection("Data", ini);
    EXPECT_EQ(ReadBytes(ini), "[123456]\r\n\r\n");
}

TEST_F(IniFileTest, EraseOfMissingFileCreatesNothing)
{
    EraseIniSection("Data", ini);
    struct stat st {};
    EXPECT_NE(stat(ini.c_str(), &st), 0);
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoKey)
{
    constexpr int kKeys = 200;
    const auto writer = [&](const std::string& prefix) {
        for (int i = 0; i < kKeys; ++i) {
            WriteIniValue("PlayList", prefix + std::to_string(i), std::to_string(i), ini);
        }
    };
    std::thread first(writer, "F");
    std::thread second(writer, "G");
    first.join();
    second.join();
    int missing = 0;
    for (int i = 0; i < kKeys; ++i) {
        missing += ReadIniValue("PlayList", "F" + std::to_string(i), ini) != std::to_string(i);
        missing += ReadIniValue("PlayList", "G" + std::to_string(i), ini) != std::to_string(i);
    }
    EXPECT_EQ(missing, 0);
}

TEST_F(IniFileTest, ReaderNeverSeesHalfAFile)
{
    const std::string big(1500, 'x');
    WriteIniValue("App", "Big", big, ini);
    std::atomic<bool> done{false};
    int torn = 0;
    std::thread reader([&] {
        while (!done) {
            torn += ReadIniValue("App", "Big", ini) != big;
        }
    });
    for (int i = 0; i < 100; ++i) {
        WriteIniValue("App", "N" + std::to_string(i), "1", ini);
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
}

TEST(AppSettings, UseConfigIniInProgramFolder)
{
    TempFolder folder;
    SetAppDirForTesting(folder.path());
    WriteAppSetting("Update", "Ver", "1.0.0.56");
    EXPECT_EQ(ReadBytes(folder.file("config.ini")), "[Update]\r\nVer=1.0.0.56\r\n");
    EXPECT_EQ(ReadAppSetting("update", "VER"), "1.0.0.56");
    SetAppDirForTesting("");
}

} // namespace
} // namespace palvina
