// The player's binding of the companion module, against a stand-in module that records its calls
// and against the real module.

#include "player/CompanionBinding.h"

#include "files/AppDir.h"
#include "files/AppSettings.h"
#include "files/GbkText.h"
#include "files/TempFolder.h"
#include "shell/Notice.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace palvina::test {
namespace {

using namespace std::chrono_literals;

const char* const kMissingModuleText = "程序缺少文件，停止运行！";

std::string Hex(const std::string& bytes)
{
    std::string out;
    char pair[3];
    for (const char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        out += pair;
    }
    return out;
}

std::string ApplicationAddress()
{
    char address[32];
    std::snprintf(address, sizeof address, "%" PRIxPTR,
                  reinterpret_cast<std::uintptr_t>(QCoreApplication::instance()));
    return address;
}

int CountCaptionWindows()
{
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        count += window->objectName() == QLatin1String("FennickCaptionWindow") ? 1 : 0;
    }
    return count;
}

QWidget* FindCaptionWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("FennickCaptionWindow")) {
            return window;
        }
    }
    return nullptr;
}

// A temporary program folder, notices caught, and the stand-in module's call log.
class CompanionBindingTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetAppDirForTesting(folder_.path());
        setenv("PALVINA_STUB_FENNICK_LOG", log().c_str(), 1);
        setenv("PALVINA_STUB_FENNICK_WATCH", folder_.file("config.ini").c_str(), 1);
        SetNoticeHandlerForTesting(
            [this](int kind, const std::string& text) { notices_.emplace_back(kind, text); });
    }

    void TearDown() override
    {
        SetNoticeHandlerForTesting({});
        SetAppDirForTesting("");
        unsetenv("PALVINA_STUB_FENNICK_LOG");
        unsetenv("PALVINA_STUB_FENNICK_WATCH");
        unsetenv("PALVINA_STUB_FENNICK_THROW");
    }

    void installModule(const char* source)
    {
        std::filesystem::copy_file(source, folder_.file("Fennick.so"));
    }

    std::string log() const { return folder_.file("calls.log"); }

    std::vector<std::string> calls() const
    {
        std::vector<std::string> lines;
        std::istringstream in(ReadBytes(log()));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::string showFormCall() const { return "ShowForm " + ApplicationAddress(); }

    TempFolder folder_;
    std::vector<std::pair<int, std::string>> notices_;
};

TEST_F(CompanionBindingTest, StartLoadsFromTheProgramFolderAndCallsShowForm)
{
    installModule(PALVINA_STUB_FENNICK);
    CompanionBinding binding(1ms);
    EXPECT_TRUE(binding.start());
    EXPECT_TRUE(binding.isLoaded());
    EXPECT_FALSE(binding.adShown());
    EXPECT_EQ(calls(), std::vector<std::string>{showFormCall()});
    EXPECT_TRUE(notices_.empty());
}

TEST_F(CompanionBindingTest, AFailingShowFormIsIgnored)
{
    installModule(PALVINA_STUB_FENNICK);
    setenv("PALVINA_STUB_FENNICK_THROW", "ShowForm", 1);
    CompanionBinding binding(1ms);
    EXPECT_TRUE(binding.start());
    EXPECT_TRUE(binding.isLoaded());
    EXPECT_EQ(calls(), std::vector<std::string>{showFormCall()});
    EXPECT_TRUE(notices_.empty());
}

struct UnloadableModule {
    const char* name;
    const char* bytes; // null: no file at all
};

void PrintTo(const UnloadableModule& m, std::ostream* os)
{
    *os << m.name;
}

class MissingModuleTest : public CompanionBindingTest,
                          public testing::WithParamInterface<UnloadableModule> {};

TEST_P(MissingModuleTest, WarnsAndLeavesTheBindingEmpty)
{
    if (GetParam().bytes) {
        WriteBytes(folder_.file("Fennick.so"), GetParam().bytes);
    }
    CompanionBinding binding(1ms);
    EXPECT_FALSE(binding.start());
    EXPECT_FALSE(binding.isLoaded());
    EXPECT_FALSE(binding.companionModule().errorText().empty());
    ASSERT_EQ(notices_.size(), 1u);
    EXPECT_EQ(notices_[0].first, 2);
    EXPECT_EQ(notices_[0].second, kMissingModuleText);

    // Without a module nothing is written or marked, and the rest does nothing.
    binding.showCompanionFile(folder_.file("a.xml"));
    EXPECT_FALSE(binding.adShown());
    EXPECT_EQ(ReadAppSetting("App", "AdPath"), "");
    EXPECT_FALSE(std::filesystem::exists(folder_.file("config.ini")));
    binding.refreshAfterSwitch();
    binding.close();
    EXPECT_EQ(notices_.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Modules, MissingModuleTest,
                         testing::Values(UnloadableModule{"NoFile", nullptr},
                                         UnloadableModule{"NotALibrary", "MZ not an ELF file"}),
                         [](const testing::TestParamInfo<UnloadableModule>& info) {
                             return info.param.name;
                         });

struct CompanionPath {
    const char* name;
    std::string relative; // below the program folder; empty: the empty path
};

void PrintTo(const CompanionPath& p, std::ostream* os)
{
    *os << p.name;
}

class ShowCompanionFileTest : public CompanionBindingTest,
                              public testing::WithParamInterface<CompanionPath> {};

TEST_P(ShowCompanionFileTest, WritesAdPathThenHandsTheGbkPathOver)
{
    installModule(PALVINA_STUB_FENNICK);
    CompanionBinding binding(1ms);
    ASSERT_TRUE(binding.start());
    const std::string path =
        GetParam().relative.empty() ? std::string() : folder_.path() + GetParam().relative;

    binding.showCompanionFile(path);

    EXPECT_TRUE(binding.adShown());
    EXPECT_EQ(ReadAppSetting("App", "AdPath"), path);
    const std::vector<std::string> lines = calls();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], showFormCall());
    const std::string argument = path.empty() ? "null" : Hex(Utf8ToGbk(path));
    ASSERT_EQ(lines[1].rfind("ReadImgAd " + argument + " ", 0), 0u) << lines[1];
    // The settings file as the module saw it during the call already held the path.
    const std::string settingsSeen = lines[1].substr(("ReadImgAd " + argument + " ").size());
    EXPECT_NE(settingsSeen.find(Hex(Utf8ToGbk("AdPath=" + path + "\r\n"))), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ShowCompanionFileTest,
    testing::Values(CompanionPath{"Chinese", "Images/Illustrated/3/春日画报_说明.xml"},
                    CompanionPath{"Ascii", "Images/Wallpaper/12/f0.xml"},
                    CompanionPath{"Empty", ""}),
    [](const testing::TestParamInfo<CompanionPath>& info) { return info.param.name; });

TEST_F(CompanionBindingTest, RefreshAfterSwitchRenewsTheFormWhileTheInterfaceRuns)
{
    installModule(PALVINA_STUB_FENNICK);
    CompanionBinding binding(50ms);
    ASSERT_TRUE(binding.start());
    binding.showCompanionFile(folder_.file("a.xml"));
    ASSERT_TRUE(binding.adShown());

    bool ranDuringPause = false;
    std::size_t callsDuringPause = 0;
    QTimer::singleShot(0, [&] {
        ranDuringPause = true;
        callsDuringPause = calls().size();
    });
    binding.refreshAfterSwitch();

    EXPECT_TRUE(ranDuringPause) << "the pause blocked the event loop";
    EXPECT_EQ(callsDuringPause, 2u) << "ShowForm came before the pause";
    EXPECT_FALSE(binding.adShown());
    const std::vector<std::string> lines = calls();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], showFormCall());

    // Nothing shown since: the next switch leaves the module alone.
    binding.refreshAfterSwitch();
    EXPECT_EQ(calls().size(), 3u);
}

TEST_F(CompanionBindingTest, RefreshWithoutACompanionFileShownDoesNothing)
{
    installModule(PALVINA_STUB_FENNICK);
    CompanionBinding binding(1ms);
    ASSERT_TRUE(binding.start());
    binding.refreshAfterSwitch();
    EXPECT_EQ(calls(), std::vector<std::string>{showFormCall()});
}

TEST_F(CompanionBindingTest, ClosingThePlayerDuringThePauseSkipsShowForm)
{
    installModule(PALVINA_STUB_FENNICK);
    CompanionBinding binding(50ms);
    ASSERT_TRUE(binding.start());
    binding.showCompanionFile(folder_.file("a.xml"));
    QTimer::singleShot(0, [&] { binding.close(); });
    binding.refreshAfterSwitch();
    EXPECT_FALSE(binding.isLoaded());
    EXPECT_EQ(calls().size(), 2u);
}

TEST_F(CompanionBindingTest, CloseUnloadsEvenWithoutCloseFormEntry)
{
    installModule(PALVINA_STUB_FENNICK);
    CompanionBinding binding(1ms);
    ASSERT_TRUE(binding.start());
    binding.close();
    EXPECT_FALSE(binding.isLoaded());
    binding.showCompanionFile(folder_.file("a.xml"));
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(ReadAppSetting("App", "AdPath"), "");
}

// The real module, copied into the temporary program folder so its settings file is the test's.
TEST_F(CompanionBindingTest, RealModuleShowsRenewsAndClosesItsWindow)
{
    const std::string realModule = PALVINA_APP_DIR "/Fennick.so";
    ASSERT_TRUE(std::filesystem::exists(realModule)) << "build the Fennick target first";
    installModule(realModule.c_str());
    const std::string companionFile = folder_.file("说明.xml");
    WriteBytes(companionFile, "<?xml version=\"1.0\" encoding=\"GBK\"?>" +
                                  Utf8ToGbk("<picture><title>电影天地</title></picture>"));

    CompanionBinding binding(50ms);
    ASSERT_TRUE(binding.start());
    ASSERT_EQ(CountCaptionWindows(), 1);
    EXPECT_FALSE(FindCaptionWindow()->isVisible());

    binding.showCompanionFile(companionFile);
    QWidget* window = FindCaptionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    auto* title = window->findChild<QLabel*>(QLatin1String("title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QString::fromUtf8("电影天地"));

    int windowsDuringPause = -1;
    QTimer::singleShot(0, [&] { windowsDuringPause = CountCaptionWindows(); });
    binding.refreshAfterSwitch();
    EXPECT_EQ(windowsDuringPause, 0) << "CloseForm did not close the window";
    ASSERT_EQ(CountCaptionWindows(), 1);
    EXPECT_FALSE(FindCaptionWindow()->isVisible());

    binding.close();
    EXPECT_EQ(CountCaptionWindows(), 0);
    EXPECT_FALSE(binding.isLoaded());
    QCoreApplication::processEvents();
}

} // namespace
} // namespace palvina::test
