#include "platform/SingleInstance.h"

#include "files/TempFolder.h"
#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace palvina {
namespace {

using test::ChildProcess;
using test::ScopedEnv;
using test::TempFolder;

// A second process: claims the name from PALVINA_TEST_LOCK_NAME, says "held" or "busy", and
// when it holds the name, keeps it until it is killed.
int HoldLockRole(std::unique_ptr<QApplication>&)
{
    const bool held = AcquireSingleInstance(std::getenv("PALVINA_TEST_LOCK_NAME"));
    std::printf("%s\n", held ? "held" : "busy");
    std::fflush(stdout);
    while (held) {
        pause();
    }
    return 0;
}
const test::ChildRole holdLockRole("hold-lock", HoldLockRole);

// Ends a holder that is still there when a test stops early.
struct KillOnExit {
    ChildProcess& child;
    ~KillOnExit()
    {
        if (child.pid > 0) {
            kill(child.pid, SIGKILL);
            test::WaitChild(child);
        }
    }
};

ChildProcess StartHolder(const std::string& runtimeFolder, const std::string& name)
{
    return test::StartChild("hold-lock", {"XDG_RUNTIME_DIR=" + runtimeFolder, "PALVINA_TEST_LOCK_NAME=" + name});
}

TEST(SingleInstance, ASecondProcessIsRefusedUntilTheHolderDiesEvenKilled)
{
    TempFolder runtime;
    ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.path());

    ChildProcess holder = StartHolder(runtime.path(), kPlayerMutexName);
    KillOnExit cleanup{holder};
    ASSERT_EQ(test::ReadChildLine(holder), "held");
    EXPECT_TRUE(std::filesystem::exists(runtime.path() + kPlayerMutexName + ".lock"));

    ChildProcess second = StartHolder(runtime.path(), kPlayerMutexName);
    EXPECT_EQ(test::ReadChildLine(second), "busy");
    EXPECT_EQ(test::WaitChild(second), 0);
    EXPECT_FALSE(AcquireSingleInstance(kPlayerMutexName));

    kill(holder.pid, SIGKILL);
    EXPECT_EQ(test::WaitChild(holder), 128 + SIGKILL);
    EXPECT_TRUE(AcquireSingleInstance(kPlayerMutexName));
    EXPECT_TRUE(AcquireSingleInstance(kPlayerMutexName));  // this process holds it already

    ChildProcess third = StartHolder(runtime.path(), kPlayerMutexName);
    EXPECT_EQ(test::ReadChildLine(third), "busy");
    EXPECT_EQ(test::WaitChild(third), 0);
}

TEST(SingleInstance, WithoutARuntimeFolderTheLockLiesInTmp)
{
    TempFolder unique;  // only for a name nobody else uses
    const std::string name = "kestova-test-" + std::filesystem::path(unique.path()).parent_path().filename().string();
    ScopedEnv runtimeDir("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_TRUE(AcquireSingleInstance(name));
    const std::string lockFile = "/tmp/" + name + ".lock";
    EXPECT_TRUE(std::filesystem::exists(lockFile));
    struct stat st {};
    ASSERT_EQ(stat(lockFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    ChildProcess second = test::StartChild("hold-lock", {"PALVINA_TEST_LOCK_NAME=" + name});
    EXPECT_EQ(test::ReadChildLine(second), "busy");
    EXPECT_EQ(test::WaitChild(second), 0);
    std::filesystem::remove(lockFile);
}

TEST(SingleInstance, ALockFileOfAnotherUserIsLeftAloneForOneOfOurOwn)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "making a file of another user needs root";
    }
    TempFolder shared;
    std::filesystem::permissions(shared.path(), std::filesystem::perms(01777));
    const std::string theirs = shared.path() + "{shared}.lock";
    test::WriteBytes(theirs, "");
    ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(theirs.c_str(), 0600), 0);

    EXPECT_TRUE(AcquireSingleInstanceIn(shared.path(), "{shared}"));
    EXPECT_TRUE(std::filesystem::exists(shared.path() + "{shared}-0.lock"));
    ChildProcess second = StartHolder(shared.path(), "{shared}");
    EXPECT_EQ(test::ReadChildLine(second), "busy");
    EXPECT_EQ(test::WaitChild(second), 0);
}

TEST(SingleInstance, ANameStaysInsideItsFolder)
{
    TempFolder runtime;
    EXPECT_TRUE(AcquireSingleInstanceIn(runtime.path(), "../escape/name"));
    EXPECT_TRUE(std::filesystem::exists(runtime.path() + ".._escape_name.lock"));
}

TEST(SingleInstance, AFolderWhereNoLockCanBeTakenDoesNotStopTheProgram)
{
    TempFolder runtime;
    EXPECT_TRUE(AcquireSingleInstanceIn(runtime.path() + "missing", "kestova-test"));
}

} // namespace
} // namespace palvina
