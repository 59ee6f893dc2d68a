#include "platform/XscreensaverConfig.h"

#include "files/TempFolder.h"
#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace palvina {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::string kHack = XscreensaverHackLine("/opt/kestova/Noctilux");

struct EditCase {
    const char* name;
    std::string before;
    std::string after;
};

void PrintTo(const EditCase& edit, std::ostream* out)
{
    *out << edit.name;
}

class XscreensaverEdits : public testing::TestWithParam<EditCase> {};

TEST_P(XscreensaverEdits, MakeOurSaverTheOneSelected)
{
    EXPECT_EQ(EditXscreensaverConfig(GetParam().before, kHack), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    XscreensaverConfig, XscreensaverEdits,
    testing::Values(
        EditCase{"NoFile", "",
                 "mode:\t\tone\nselected:\t0\nprograms:\t\\\n\t\t'/opt/kestova/Noctilux' --root\t\\n\n"},
        EditCase{"NoProgramsList", "timeout:\t0:10:00\nlock:\t\tFalse\n",
                 "timeout:\t0:10:00\nlock:\t\tFalse\n"
                 "mode:\t\tone\nselected:\t0\nprograms:\t\\\n\t\t'/opt/kestova/Noctilux' --root\t\\n\n"},
        EditCase{"EmptyProgramsList", "mode:\t\trandom\nprograms:\n",
                 "mode:\t\tone\nselected:\t0\nprograms:\t\\\n\t\t'/opt/kestova/Noctilux' --root\t\\n\n"},
        EditCase{"ListContinuedOverLines",
                 "# XScreenSaver Preferences File\n"
                 "timeout:\t0:10:00\n"
                 "mode:\t\trandom\n"
                 "selected:\t-1\n"
                 "\n"
                 "programs:\t\t\t\t\t\t\t      \\\n"
                 "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
                 "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
                 "\t\t\t\t\"Qix (solid)\"\tqix -root -solid\t    \\n\\\n"
                 "-\t\t\t\tpyro --root\t\t\t\t    \\n\n"
                 "\n"
                 "pointerHysteresis:\t10\n",
                 "# XScreenSaver Preferences File\n"
                 "timeout:\t0:10:00\n"
                 "mode:\t\tone\n"
                 "selected:\t4\n"
                 "\n"
                 "programs:\t\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "\t\t- GL: \t\t\t\tsuperquadrics --root\t\\n\\\n"
                 "\t\t\"Qix (solid)\"\tqix -root -solid\t\\n\\\n"
                 "\t\t-\t\t\t\tpyro --root\t\\n\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\n"
                 "\n"
                 "pointerHysteresis:\t10\n"},
        EditCase{"OursAlreadyThereIsReplacedInPlace",
                 "mode:\t\tone\nselected:\t0\nprograms:\t\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\\\n"
                 "\t\tqix --root\t\\n\n",
                 "mode:\t\tone\nselected:\t1\nprograms:\t\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\\\n"
                 "\t\tqix --root\t\\n\n"},
        EditCase{"OursDisabledFromAnotherFolder",
                 "programs:\t\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "-\t\t\"Old\" /old/place/Noctilux -root\t\\n\\\n"
                 "\t\tqix --root\t\\n\n",
                 "mode:\t\tone\nselected:\t1\nprograms:\t\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\\\n"
                 "\t\tqix --root\t\\n\n"},
        EditCase{"OursTwiceIsKeptOnce",
                 "programs:\t\\\n"
                 "\t\t/opt/kestova/Noctilux --root\t\\n\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "- GL:\t\t'/usr/lib/kestova/Noctilux' -root\t\\n\n",
                 "mode:\t\tone\nselected:\t0\nprograms:\t\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\\\n"
                 "\t\tmaze --root\t\\n\n"},
        EditCase{"KeysAfterTheListAreEditedWhereTheyAre",
                 "programs:\t\\\n\t\tmaze --root\t\\n\n"
                 "mode:blank\n"
                 "lock:\t\tFalse\n",
                 "selected:\t1\nprograms:\t\\\n"
                 "\t\tmaze --root\t\\n\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\n"
                 "mode:\t\tone\n"
                 "lock:\t\tFalse\n"},
        EditCase{"SimilarNamesAreNotOurs",
                 "programs:\t\\\n\t\tNoctiluxClock --root\t\\n\\\n\t\t/opt/Noctilux.old --root\t\\n\n",
                 "mode:\t\tone\nselected:\t2\nprograms:\t\\\n"
                 "\t\tNoctiluxClock --root\t\\n\\\n"
                 "\t\t/opt/Noctilux.old --root\t\\n\\\n"
                 "\t\t'/opt/kestova/Noctilux' --root\t\\n\n"}),
    [](const testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(XscreensaverConfig, ABackslashInThePathIsEscapedInTheListAndRecognisedAgain)
{
    const std::string hack = XscreensaverHackLine("/opt/back\\slash/Noctilux");
    const std::string once = EditXscreensaverConfig("", hack);
    EXPECT_EQ(once, "mode:\t\tone\nselected:\t0\nprograms:\t\\\n\t\t'/opt/back\\\\slash/Noctilux' --root\t\\n\n");
    EXPECT_EQ(EditXscreensaverConfig(once, hack), once);
}

class HackLines : public testing::TestWithParam<std::string> {};

TEST_P(HackLines, RunTheSaverUnderItsExactPathWithRoot)
{
    // The shell splits the line into the path and "--root".
    const std::string command =
        "set -- " + XscreensaverHackLine(GetParam()) + "; [ $# -eq 2 ] && [ \"$2\" = --root ] && printf '%s' \"$1\"";
    TempFolder folder;
    ASSERT_EQ(test::RunCommand(command + " > " + test::ShellQuoted(folder.file("out"))), 0);
    EXPECT_EQ(ReadBytes(folder.file("out")), GetParam());
}

INSTANTIATE_TEST_SUITE_P(XscreensaverConfig, HackLines,
                         testing::Values("/opt/kestova/Noctilux", "/opt/my apps/桌面/Noctilux",
                                         "/opt/it's/Noctilux", "/opt/$HOME \"x\" `y` \\z/Noctilux"));

TEST(XscreensaverConfig, TheSystemDefaultsListBecomesAProgramsKey)
{
    const std::string defaults = "! comment\n*mode:\t\t\trandom\n*programs:\t\t\\\n\t\tmaze --root\t\\n\\\n"
                                 "-\t\tpyro --root\t\\n\n*nice:\t10\n";
    EXPECT_EQ(XscreensaverProgramsFromDefaults(defaults),
              "programs:\t\t\\\n\t\tmaze --root\t\\n\\\n-\t\tpyro --root\t\\n\n");
    EXPECT_EQ(XscreensaverProgramsFromDefaults("*mode: random\n"), "");
}

TEST(XscreensaverConfig, AMissingSettingsFileStartsFromTheSystemList)
{
    TempFolder folder;
    WriteBytes(folder.file("XScreenSaver"), "*programs:\t\\\n\t\tmaze --root\t\\n\\\n-\t\tpyro --root\t\\n\n");
    ASSERT_TRUE(InstallXscreensaverEntry(folder.file(".xscreensaver"), folder.file("XScreenSaver"),
                                         "/opt/kestova/Noctilux"));
    EXPECT_EQ(ReadBytes(folder.file(".xscreensaver")),
              "mode:\t\tone\nselected:\t2\nprograms:\t\\\n\t\tmaze --root\t\\n\\\n\t\t-\t\tpyro --root\t\\n\\\n"
              "\t\t'/opt/kestova/Noctilux' --root\t\\n\n");

    // Without system defaults the list holds our saver alone.
    ASSERT_TRUE(InstallXscreensaverEntry(folder.file("other"), folder.file("missing"), "/opt/kestova/Noctilux"));
    EXPECT_EQ(ReadBytes(folder.file("other")), EditXscreensaverConfig("", kHack));
}

TEST(XscreensaverConfig, AnExistingSettingsFileKeepsItsOtherLines)
{
    TempFolder folder;
    WriteBytes(folder.file(".xscreensaver"), "timeout:\t0:05:00\nprograms:\t\\\n\t\tmaze --root\t\\n\n");
    ASSERT_TRUE(InstallXscreensaverEntry(folder.file(".xscreensaver"), folder.file("XScreenSaver"),
                                         "/opt/kestova/Noctilux"));
    EXPECT_EQ(ReadBytes(folder.file(".xscreensaver")),
              "timeout:\t0:05:00\nmode:\t\tone\nselected:\t1\nprograms:\t\\\n\t\tmaze --root\t\\n\\\n"
              "\t\t'/opt/kestova/Noctilux' --root\t\\n\n");
}

TEST(XscreensaverConfig, APathWithALineBreakOrAnUnwritableFileFails)
{
    TempFolder folder;
    EXPECT_FALSE(InstallXscreensaverEntry(folder.file(".xscreensaver"), "", "/opt/line\nbreak/Noctilux"));
    EXPECT_FALSE(std::filesystem::exists(folder.file(".xscreensaver")));
    EXPECT_FALSE(InstallXscreensaverEntry(folder.file("missing/.xscreensaver"), "", "/opt/kestova/Noctilux"));
}

} // namespace
} // namespace palvina
