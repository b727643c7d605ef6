#include "platform/storage/staged_file.h"

#include "tests/support/files.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <cstddef>
#include <fstream>
#include <map>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using storage::file_access;
using test::file_text;
using test::listing;
using storage::staged_file;

namespace {

std::size_t entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

void write_text(staged_file& file, std::string_view text) { file.write(std::as_bytes(std::span(text))); }

staged_file staged(const fs::path& destination, std::string_view text)
{
    staged_file file(destination, file_access::owner_only);
    write_text(file, text);
    return file;
}

// Makes the process's file system one without unnamed files, as FAT or an older NFS is.
void refuse_unnamed_files()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        ::_exit(3);
}

// Stages new contents for both files in a child process, then ends it with SIGKILL right after
// the n-th system call of their commit. False when the commit was over before that.
bool killed_during_commit(int n, const fs::path& first, const fs::path& second, bool unnamed_files)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (!unnamed_files) refuse_unnamed_files();
        // Nothing may leave the child but its end.
        try {
            staged_file files[] = {staged(first, "new first"), staged(second, "new second")};
            staged_file* both[] = {&files[0], &files[1]};
            ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
            ::raise(SIGSTOP);
            storage::commit_together(both);
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int calls = 0, pass = 0;
    bool inside = false;
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, child, nullptr, pass);
        pass = 0;
        if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) return false;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            pass = WSTOPSIG(status);
        } else if ((inside = !inside) == false && ++calls == n) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return true;
        }
    }
}

}  // namespace

TEST(StagedFile, TheOldFileStaysUntilTheNewOneIsCommitted)
{
    QTemporaryDir folder;
    const fs::path destination = folder.filePath("out.txt").toStdString();
    std::ofstream(destination) << "old";

    staged_file file(destination, file_access::shared);
    write_text(file, "new contents");
    file.close();
    EXPECT_EQ(file_text(destination), "old");
    EXPECT_EQ(entries(folder.path().toStdString()), 1u) << "a staged file has no name a killed run could leave";
    file.commit();
    EXPECT_EQ(file_text(destination), "new contents");
    EXPECT_EQ(entries(folder.path().toStdString()), 1u);
}

TEST(StagedFile, DroppedBeforeCommitItLeavesNothing)
{
    QTemporaryDir folder;
    const fs::path destination = folder.filePath("out.txt").toStdString();
    {
        staged_file file(destination, file_access::owner_only);
        write_text(file, "half");
    }
    EXPECT_EQ(entries(folder.path().toStdString()), 0u);
}

TEST(StagedFile, ModesAreGivenAtCreation)
{
    QTemporaryDir folder;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const fs::path shared = folder.filePath("shared").toStdString(), own = folder.filePath("own").toStdString();
    staged_file first(shared, file_access::shared), second(own, file_access::owner_only);
    first.commit();
    second.commit();
    EXPECT_EQ(static_cast<unsigned>(fs::status(shared).permissions() & fs::perms::mask), 0666u & ~mask);
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::mask, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(StagedFile, AFolderInTheWayIsRefusedBeforeAnythingIsWritten)
{
    QTemporaryDir folder;
    const fs::path destination = folder.filePath("taken").toStdString();
    fs::create_directory(destination);
    try {
        staged_file file(destination, file_access::shared);
        ADD_FAILURE() << "staged over a folder";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::is_a_directory);
    }
    EXPECT_EQ(entries(folder.path().toStdString()), 1u);
}

TEST(StagedFile, FilesCommittedTogetherAreAllReplacedOrNoneIsAndTheFailureNamesTheFile)
{
    QTemporaryDir folder;
    const fs::path first = folder.filePath("site.crt").toStdString(), second = folder.filePath("site.key").toStdString();
    std::ofstream(first) << "old first";
    std::ofstream(second) << "old second";
    staged_file files[] = {staged(first, "new first"), staged(second, "new second")};
    // The second place is taken by a folder only now, when the first file is already swapped in.
    fs::remove(second);
    fs::create_directory(second);
    staged_file* both[] = {&files[0], &files[1]};
    try {
        storage::commit_together(both);
        ADD_FAILURE() << "committed over a folder";
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.path1(), second);
        EXPECT_EQ(error.code(), std::errc::is_a_directory);
    }
    EXPECT_EQ(listing(folder.path().toStdString()),
              (std::map<std::string, std::string>{{"site.crt", "old first"}, {"site.key", "/"}}));
}

class StagedFileKilled : public ::testing::TestWithParam<bool> {};

TEST_P(StagedFileKilled, ACommitKilledAtAnyStepIsUndoneByTheNextCommitInTheFolder)
{
    const std::pair<std::string, std::string> before{"old first", "old second"}, after{"new first", "new second"};
    int mixed = 0, undone = 0, done = 0;
    for (int n = 1; n < 1000; ++n) {
        QTemporaryDir folder;
        const fs::path first = folder.filePath("a.crt").toStdString(), second = folder.filePath("a.key").toStdString();
        std::ofstream(first) << before.first;
        std::ofstream(second) << before.second;
        if (!killed_during_commit(n, first, second, GetParam())) break;
        std::pair found{file_text(first), file_text(second)};
        if (found != before && found != after) ++mixed;

        staged(folder.filePath("other").toStdString(), "other").commit();
        found = {file_text(first), file_text(second)};
        EXPECT_TRUE(found == before || found == after) << "killed after system call " << n << ": " << found.first << ", "
                                                        << found.second;
        (found == before ? undone : done) += 1;
        EXPECT_EQ(entries(folder.path().toStdString()), 3u) << "killed after system call " << n << " left files behind";
    }
    EXPECT_GT(mixed, 0) << "no kill came between the two files";
    EXPECT_GT(undone, 0);
    EXPECT_GT(done, 0);
}

INSTANTIATE_TEST_SUITE_P(FileSystems, StagedFileKilled, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "WithUnnamedFiles" : "WithoutUnnamedFiles"; });
