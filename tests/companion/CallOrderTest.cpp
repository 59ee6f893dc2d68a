// The real companion module called in any order, and unloaded with its window open.

#include "companion/FennickHost.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <unistd.h>

namespace palvina::test {
namespace {

const char* const kCaption = "<picture><title>标题</title><text>说明</text></picture>";

class CallOrderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(host_.complete()) << host_.error();
        // An ASCII path: the module converts nothing and can really be unloaded (see below).
        path_ = folder_.filePath(QStringLiteral("caption.xml")).toStdString();
        QFile file(QString::fromStdString(path_));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kCaption);
    }

    QTemporaryDir folder_;
    FennickHost host_;
    std::string path_;
};

TEST_F(CallOrderTest, CallsBeforeShowFormCreateNothing)
{
    host_.closeForm();
    host_.readImgAd(path_.c_str());
    host_.readImgAd(nullptr);
    EXPECT_EQ(CountCaptionWindows(), 0);
}

TEST_F(CallOrderTest, ShowFormPreparesOneHiddenWindow)
{
    host_.showForm(qApp);
    host_.showForm(nullptr);
    ASSERT_EQ(CountCaptionWindows(), 1);
    EXPECT_FALSE(FindCaptionWindow()->isVisible());
}

TEST_F(CallOrderTest, CloseFormDeletesTheWindowAndShowFormStartsAfresh)
{
    host_.showForm(qApp);
    host_.readImgAd(path_.c_str());
    ASSERT_TRUE(FindCaptionWindow()->isVisible());

    host_.closeForm();
    EXPECT_EQ(CountCaptionWindows(), 0);
    host_.closeForm();
    host_.readImgAd(path_.c_str());
    EXPECT_EQ(CountCaptionWindows(), 0) << "a caption after CloseForm brought a window back";

    host_.showForm(qApp);
    QWidget* window = FindCaptionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(CaptionLabel(window, "title")->text().isEmpty());
    QCoreApplication::processEvents();
}

// Exit codes of the child below, so a failure says which step went wrong.
enum UnloadStep { kUnloaded = 0, kNotLoaded = 2, kNotShown, kStillMapped, kWindowLeft };

// Runs in a fresh process (a death test), where nothing has touched the module yet; the host
// unloads it without calling CloseForm first.
[[noreturn]] void UnloadWithWindowOpen(const std::string& path)
{
    FennickHost host;
    if (!host.complete()) {
        _exit(kNotLoaded);
    }
    host.showForm(qApp);
    host.readImgAd(path.c_str());
    QWidget* window = FindCaptionWindow();
    if (!window || !window->isVisible()) {
        _exit(kNotShown);
    }
    QCoreApplication::processEvents();
    host.unload();
    if (dlopen(kFennickPath, RTLD_NOW | RTLD_NOLOAD)) {
        _exit(kStillMapped);
    }
    if (CountCaptionWindows() != 0) {
        _exit(kWindowLeft);
    }
    // Pending paint and deletion events must not reach the unloaded code.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    _exit(kUnloaded);
}

// Not a CallOrderTest: its host would keep the module loaded in the child as well.
TEST(ModuleUnloadTest, UnloadWithTheWindowOpenDeletesItAndDoesNotCrash)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.filePath(QStringLiteral("caption.xml")).toStdString();
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kCaption);
    file.close();
    EXPECT_EXIT(UnloadWithWindowOpen(path), testing::ExitedWithCode(kUnloaded), "");
}

} // namespace
} // namespace palvina::test
