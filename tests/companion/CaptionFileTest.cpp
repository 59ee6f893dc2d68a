// The real companion module in a test host: what each kind of companion file shows.

#include "companion/FennickHost.h"

#include "files/GbkText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include <ostream>
#include <string>

namespace palvina::test {
namespace {

struct CaptionCase {
    const char* name;
    std::string bytes;
    bool shown;
    std::string title; // UTF-8; empty: no title line
    bool link;
};

void PrintTo(const CaptionCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string Declared(const char* encoding, const std::string& body)
{
    return std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\n" + body;
}

const std::string kPrevious =
    "<picture><title>上一幅</title><text>旧的说明</text></picture>";

class CompanionHostTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(host_.complete()) << host_.error();
    }

    // Writes the file under a Chinese name and returns its path as the player passes it:
    // GB18030 bytes.
    std::string writeCompanionFile(const std::string& utf8Name, const std::string& bytes)
    {
        const QString path = folder_.filePath(QString::fromStdString(utf8Name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return Utf8ToGbk(path.toStdString());
    }

    // Shows an earlier picture's caption, so that hiding can be told from never showing.
    void showPreviousCaption()
    {
        host_.showForm(qApp);
        const std::string path = writeCompanionFile("上一幅.xml", kPrevious);
        host_.readImgAd(path.c_str());
        QWidget* window = FindCaptionWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        ASSERT_EQ(CaptionLabel(window, "title")->text(), QString::fromUtf8("上一幅"));
    }

    QTemporaryDir folder_;
    FennickHost host_;
};

class CaptionFileTest : public CompanionHostTest,
                        public testing::WithParamInterface<CaptionCase> {};

TEST_P(CaptionFileTest, ShowsOrHidesTheCaption)
{
    const CaptionCase& c = GetParam();
    showPreviousCaption();
    const std::string path = writeCompanionFile("画报说明.xml", c.bytes);
    host_.readImgAd(path.c_str());

    QWidget* window = FindCaptionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CountCaptionWindows(), 1);
    ASSERT_EQ(window->isVisible(), c.shown);
    QLabel* title = CaptionLabel(window, "title");
    QLabel* link = CaptionLabel(window, "link");
    ASSERT_NE(title, nullptr);
    ASSERT_NE(link, nullptr);
    if (!c.shown) {
        EXPECT_TRUE(title->text().isEmpty()) << "the previous caption stays behind";
        return;
    }
    EXPECT_EQ(title->text().toStdString(), c.title);
    EXPECT_EQ(title->isVisibleTo(window), !c.title.empty());
    EXPECT_EQ(link->isVisibleTo(window), c.link);
}

const std::string kUtf8Body =
    "<picture><title>春日 画报</title><text>第一行\n  第二行 </text>"
    "<link>https://example.com/a?b=1&amp;c=2</link></picture>";
const std::string kGbkBody =
    "<picture><title>电影天地</title><text>海报说明</text><link>http://example.com/</link></picture>";
// "𠮷" lies outside GBK and takes four bytes in GB18030.
const std::string kGb18030Body = "<picture><title>吉𠮷</title><text>说明</text></picture>";

INSTANTIATE_TEST_SUITE_P(
    Files, CaptionFileTest,
    testing::Values(
        CaptionCase{"Utf8Declared", Declared("UTF-8", kUtf8Body), true, "春日 画报", true},
        CaptionCase{"Utf8Undeclared", kUtf8Body, true, "春日 画报", true},
        CaptionCase{"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + kUtf8Body, true, "春日 画报", true},
        CaptionCase{"GbkDeclared", Declared("GBK", Utf8ToGbk(kGbkBody)), true, "电影天地", true},
        CaptionCase{"Gb2312Declared", Declared("gb2312", Utf8ToGbk(kGbkBody)), true, "电影天地",
                    true},
        CaptionCase{"Gb18030Declared", Declared("GB18030", Utf8ToGbk(kGb18030Body)), true,
                    "吉𠮷", false},
        CaptionCase{"GbkUndeclared", Utf8ToGbk(kGbkBody), true, "电影天地", true},
        CaptionCase{"TextWithoutTitle", "<picture><text>只有说明</text></picture>", true, "",
                    false},
        CaptionCase{"ScriptLinkNotClickable",
                    "<picture><title>标题</title><link>javascript:alert(1)</link></picture>", true,
                    "标题", false},
        CaptionCase{"FileLinkNotClickable",
                    "<picture><title>标题</title><link>file:///etc/passwd</link></picture>", true,
                    "标题", false},
        CaptionCase{"RelativeLinkNotClickable",
                    "<picture><title>标题</title><link>/detail.html</link></picture>", true, "标题",
                    false},
        CaptionCase{"UnclosedElement", "<picture><title>标题</title>", false, "", false},
        CaptionCase{"DamageAfterRoot", "<picture><title>标题</title></picture><extra>", false, "",
                    false},
        CaptionCase{"OtherRoot", "<page><title>标题</title></page>", false, "", false},
        CaptionCase{"NothingToShow", "<picture><link>http://example.com/</link></picture>", false,
                    "", false},
        CaptionCase{"EmptyFile", "", false, "", false},
        CaptionCase{"NotXml", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), false, "", false}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return info.param.name; });

TEST_F(CompanionHostTest, TextLinesAreTrimmedAndKeptInOrder)
{
    host_.showForm(qApp);
    const std::string path = writeCompanionFile(
        "多行.xml", "<picture><title>t</title><text>一\n\n  二  </text><text>三</text></picture>");
    host_.readImgAd(path.c_str());
    QLabel* text = CaptionLabel(FindCaptionWindow(), "text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QString::fromUtf8("一\n二\n三"));
}

struct UnusablePath {
    const char* name;
    bool null;
    const char* path; // inside the temporary folder unless absolute
    bool absolute;
};

void PrintTo(const UnusablePath& p, std::ostream* os)
{
    *os << p.name;
}

class UnusablePathTest : public CompanionHostTest,
                         public testing::WithParamInterface<UnusablePath> {};

TEST_P(UnusablePathTest, HidesTheCaption)
{
    showPreviousCaption();
    const UnusablePath& p = GetParam();
    const std::string path =
        Utf8ToGbk(p.absolute ? std::string(p.path) : folder_.path().toStdString() + p.path);
    host_.readImgAd(p.null ? nullptr : path.c_str());
    QWidget* window = FindCaptionWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(CaptionLabel(window, "title")->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Paths, UnusablePathTest,
                         testing::Values(UnusablePath{"Null", true, "", false},
                                         UnusablePath{"MissingFile", false, "/没有这个.xml", false},
                                         UnusablePath{"Folder", false, "/", false},
                                         UnusablePath{"Device", false, "/dev/zero", true}),
                         [](const testing::TestParamInfo<UnusablePath>& info) {
                             return info.param.name;
                         });

TEST_F(CompanionHostTest, EmptyPathHidesTheCaption)
{
    showPreviousCaption();
    host_.readImgAd("");
    EXPECT_FALSE(FindCaptionWindow()->isVisible());
}

TEST_F(CompanionHostTest, WindowSitsTopRightBelowTheBarWithoutTakingFocus)
{
    showPreviousCaption();
    QWidget* window = FindCaptionWindow();
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(window->windowType(), Qt::Tool);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = window->geometry();
    EXPECT_EQ(frame.width(), 300);
    EXPECT_GE(frame.height(), 90);
    EXPECT_TRUE(available.contains(frame)) << "window outside the screen";
    EXPECT_GE(frame.top(), screen.top() + 31) << "covers the bar";
    // The bar is 361 pixels wide and centred; the window stays clear of it on the right.
    EXPECT_GE(frame.left(), screen.center().x() + 361 / 2);
}

} // namespace
} // namespace palvina::test
