#include "platform/ChildProgram.h"

#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace palvina {
namespace {

using namespace std::chrono_literals;

TEST(RunProgram, GivesTheExitStatusAndTakesArgumentsAsTheyAre)
{
    test::TempFolder folder;
    const std::string target = folder.file("a b; $(touch x) '中'");
    EXPECT_EQ(RunProgram({"touch", target}, 10s), 0);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(folder.file("x")));
    EXPECT_EQ(RunProgram({"sh", "-c", "exit 3"}, 10s), 3);
}

TEST(RunProgram, AProgramThatCannotStartIsAnError)
{
    EXPECT_THROW(RunProgram({"palvina-no-such-program"}, 10s), std::runtime_error);
    EXPECT_THROW(RunProgram({}, 10s), std::runtime_error);
}

TEST(RunProgram, AProgramThatDoesNotEndInTimeIsKilledAndReaped)
{
    test::TempFolder folder;
    const std::string pidFile = folder.file("pid");
    EXPECT_THROW(RunProgram({"sh", "-c", "echo $$ > '" + pidFile + "'; exec sleep 30"}, 300ms), std::runtime_error);
    std::ifstream in(pidFile);
    int pid = 0;
    ASSERT_TRUE(in >> pid);
    // Gone and reaped: no zombie left with that id.
    EXPECT_NE(kill(pid, 0), 0);
}

TEST(RunProgram, AProgramEndedByASignalIsAnError)
{
    EXPECT_THROW(RunProgram({"sh", "-c", "kill -9 $$"}, 10s), std::runtime_error);
}

} // namespace
} // namespace palvina
