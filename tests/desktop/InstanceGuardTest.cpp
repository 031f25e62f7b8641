#include "ui/InstanceGuard.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "tests/desktop/TempDir.h"

namespace linkpanel {
namespace {

using test::RuntimeDirOverride;
using test::TempDir;

// The guard is per process, so every attempt runs in a child; its result is the exit code.
InstanceGuardResult AcquireInChild(const std::string& name) {
    const pid_t child = fork();
    if (child == 0)
        _exit(static_cast<int>(AcquireSingleInstance(name)));
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<InstanceGuardResult>(WEXITSTATUS(status));
}

TEST(InstanceGuard, SecondCopyIsRefusedUntilTheHolderEnds) {
    TempDir dir;
    RuntimeDirOverride runtime(dir.path());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);

    // The holder wins the guard, then starts a program of its own (as the monitor starts
    // the browser) that outlives it: that program must not inherit the lock.
    struct {
        char result;
        pid_t program;
    } report{};
    const pid_t holder = fork();
    if (holder == 0) {
        report.result = static_cast<char>(AcquireSingleInstance("TAVO_CONTROL_UTILITY"));
        // Until its exec the forked child shares the lock's open file: report only once the
        // exec has closed the write end of this pipe.
        int execed[2];
        if (pipe2(execed, O_CLOEXEC) != 0)
            _exit(1);
        report.program = fork();
        if (report.program == 0) {
            execlp("sleep", "sleep", "20", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(execed[1]);
        char none;
        (void)!read(execed[0], &none, 1);
        (void)!write(ready[1], &report, sizeof report);
        pause();
        _exit(0);
    }
    ASSERT_EQ(read(ready[0], &report, sizeof report), static_cast<ssize_t>(sizeof report));
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(static_cast<InstanceGuardResult>(report.result), InstanceGuardResult::Acquired);

    EXPECT_EQ(AcquireInChild("TAVO_CONTROL_UTILITY"), InstanceGuardResult::AlreadyRunning);
    EXPECT_EQ(AcquireInChild("ANOTHER_NAME"), InstanceGuardResult::Acquired);

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(kill(report.program, 0), 0) << "the started program should still run";
    EXPECT_EQ(AcquireInChild("TAVO_CONTROL_UTILITY"), InstanceGuardResult::Acquired);
    kill(report.program, SIGKILL);
}

TEST(InstanceGuard, FailsWhereNoLockFileCanBeMade) {
    TempDir dir;
    const std::string file = dir.path() + "/plain-file";
    std::ofstream(file) << "x";
    for (const std::string& runtimeDir : {file, dir.path() + "/missing"}) {
        SCOPED_TRACE(runtimeDir);
        RuntimeDirOverride runtime(runtimeDir);
        EXPECT_EQ(AcquireInChild("TAVO_CONTROL_UTILITY"), InstanceGuardResult::Failed);
    }
}

TEST(InstanceGuard, LockFileIsALinkNeverFollowed) {
    TempDir dir;
    RuntimeDirOverride runtime(dir.path());
    const std::string target = dir.path() + "/elsewhere";
    ASSERT_EQ(symlink(target.c_str(), (dir.path() + "/TAVO_CONTROL_UTILITY.lock").c_str()), 0);
    EXPECT_EQ(AcquireInChild("TAVO_CONTROL_UTILITY"), InstanceGuardResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(target));
}

// The fallback when XDG_RUNTIME_DIR is unset lives in the shared /tmp: only a directory that
// is really ours and closed to others will do.
TEST(InstanceGuard, PrivateDirectoryAcceptsOnlyOurOwnClosedDirectory) {
    TempDir dir;
    const std::string ours = dir.path() + "/ours";
    const std::string open = dir.path() + "/open";
    const std::string link = dir.path() + "/link";
    const std::string file = dir.path() + "/file";
    ASSERT_EQ(mkdir(ours.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open.c_str(), 0755), 0);
    ASSERT_EQ(symlink(ours.c_str(), link.c_str()), 0);
    std::ofstream(file) << "x";

    struct {
        std::string path;
        bool accepted;
    } cases[] = {
        {ours, true},  {dir.path() + "/fresh", true},          {open, false}, {link, false},
        {file, false}, {dir.path() + "/missing/below", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PrivateDirectory(c.path), c.accepted ? c.path : std::string());
    }
    struct stat st {};
    ASSERT_EQ(stat((dir.path() + "/fresh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

}  // namespace
}  // namespace linkpanel
