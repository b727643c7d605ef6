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

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

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

// A system call of a traced child, seen when it returns.
struct system_call {
    long number = -1;
    std::array<std::uint64_t, 6> arguments{};
    long result = 0;
};

// A call that may change what is on the disk. Steps are counted in these alone: a kill between
// two of them finds the same files, while the number of other calls (for memory, say) differs
// from one run to the next.
bool changes_files(const system_call& call)
{
    const auto flags = static_cast<int>(call.arguments[2]);
    switch (call.number) {
    case SYS_openat: return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    case SYS_write: case SYS_fsync: case SYS_linkat: case SYS_renameat: case SYS_renameat2: case SYS_unlinkat: return true;
    default: return false;
    }
}

bool is_exchange(const system_call& call)
{
    return call.number == SYS_renameat2 && (call.arguments[4] & RENAME_EXCHANGE) != 0 && call.result == 0;
}

// The child's next change of state; false when it is gone. A signal to this process does not
// end the wait.
bool wait_for(pid_t child, int& status)
{
    pid_t got;
    while ((got = ::waitpid(child, &status, 0)) < 0 && errno == EINTR) {}
    return got == child;
}

// A commit of new contents in a child process that stops before committing and then runs only
// as far as the test lets it, one system call at a time, so that it can be held or killed at
// exactly the step the test names.
class traced_commit {
public:
    traced_commit(const std::vector<std::pair<fs::path, std::string>>& files, bool unnamed_files = true,
                  std::chrono::milliseconds wait = storage::commit_wait)
    {
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0) throw std::system_error(errno, std::system_category(), "pipe");
        m_child = ::fork();
        if (m_child == 0) {
            ::close(report[0]);
            if (!unnamed_files) refuse_unnamed_files();
            // Nothing may leave the child but its end, and the text of its failure.
            try {
                std::vector<staged_file> staged_files;
                for (const auto& [destination, text] : files) staged_files.push_back(staged(destination, text));
                std::vector<staged_file*> all;
                for (auto& file : staged_files) all.push_back(&file);
                ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
                ::raise(SIGSTOP);
                storage::commit_together(all, wait);
            } catch (const std::exception& error) {
                const std::string_view text = error.what();
                [[maybe_unused]] const auto written = ::write(report[1], text.data(), text.size());
                ::_exit(2);
            }
            ::_exit(0);
        }
        ::close(report[1]);
        m_report = report[0];
        int status = 0;
        if (m_child < 0 || !wait_for(m_child, status) || !WIFSTOPPED(status)) {
            m_child = -1;
            return;
        }
        ::ptrace(PTRACE_SETOPTIONS, m_child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    }

    ~traced_commit()
    {
        kill();
        ::close(m_report);
    }

    traced_commit(const traced_commit&) = delete;
    traced_commit& operator=(const traced_commit&) = delete;

    // Lets the child run until a system call that `wanted` takes has returned, and holds it
    // there. False when the child ended first.
    template <class Wanted>
    bool run_past(Wanted wanted)
    {
        system_call call;
        int pass = 0;
        while (m_child > 0) {
            ::ptrace(PTRACE_SYSCALL, m_child, nullptr, pass);
            pass = 0;
            int status = 0;
            if (!wait_for(m_child, status) || !WIFSTOPPED(status)) {
                m_child = -1;
                return false;
            }
            if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
                pass = WSTOPSIG(status);
                continue;
            }
            __ptrace_syscall_info info{};
            ::ptrace(PTRACE_GET_SYSCALL_INFO, m_child, sizeof info, &info);
            if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
                call.number = static_cast<long>(info.entry.nr);
                std::copy(std::begin(info.entry.args), std::end(info.entry.args), call.arguments.begin());
            } else if (info.op == PTRACE_SYSCALL_INFO_EXIT) {
                call.result = static_cast<long>(info.exit.rval);
                if (wanted(call)) {
                    m_last = call;
                    return true;
                }
            }
        }
        return false;
    }

    // What a descriptor of the child names.
    fs::path path_of(std::uint64_t descriptor) const
    {
        std::error_code unknown;
        return fs::read_symlink("/proc/" + std::to_string(m_child) + "/fd/" + std::to_string(descriptor), unknown);
    }

    // The call the child was last held after.
    const system_call& last() const noexcept { return m_last; }

    void kill()
    {
        if (m_child <= 0) return;
        ::kill(m_child, SIGKILL);
        int status = 0;
        wait_for(m_child, status);
        m_child = -1;
    }

    // Lets the child run untraced to its end. The text of its failure, empty when it committed.
    std::string finish()
    {
        if (m_child <= 0) return "ended before";
        ::ptrace(PTRACE_DETACH, m_child, nullptr, 0);
        int status = 0;
        wait_for(m_child, status);
        m_child = -1;
        std::string failure;
        char buffer[512];
        for (ssize_t got; (got = ::read(m_report, buffer, sizeof buffer)) > 0;) failure.append(buffer, got);
        if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && failure.empty()))
            failure += "ended with status " + std::to_string(status);
        return failure;
    }

private:
    pid_t m_child = -1;
    int m_report = -1;
    system_call m_last;
};

std::pair<std::string, std::string> pair_in(const fs::path& first, const fs::path& second)
{
    return {file_text(first), file_text(second)};
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

using text_pair = std::pair<std::string, std::string>;

class StagedFileKilled : public ::testing::TestWithParam<bool> {};

TEST_P(StagedFileKilled, ACommitKilledAtAnyStepIsUndoneByTheNextCommitInTheFolder)
{
    const text_pair before{"old first", "old second"}, after{"new first", "new second"};
    int mixed = 0, undone = 0, done = 0;
    for (int n = 1; n < 1000; ++n) {
        QTemporaryDir folder;
        const fs::path first = folder.filePath("a.crt").toStdString(), second = folder.filePath("a.key").toStdString();
        std::ofstream(first) << before.first;
        std::ofstream(second) << before.second;
        traced_commit commit({{first, after.first}, {second, after.second}}, GetParam());
        // Only the steps that change the disk are counted, so the n-th is the same step in every run.
        int steps = 0;
        while (steps < n && commit.run_past(changes_files)) ++steps;
        if (steps < n) break;
        commit.kill();
        const std::string where = "killed after step " + std::to_string(n) + " (system call " +
                                  std::to_string(commit.last().number) + ")";
        text_pair found = pair_in(first, second);
        if (found != before && found != after) ++mixed;

        staged(folder.filePath("other").toStdString(), "other").commit();
        found = pair_in(first, second);
        EXPECT_TRUE(found == before || found == after) << where << ": " << found.first << ", " << found.second;
        (found == before ? undone : done) += 1;
        EXPECT_EQ(entries(folder.path().toStdString()), 3u) << where << " left files behind";
    }
    EXPECT_GT(mixed, 0) << "no kill came between the two files";
    EXPECT_GT(undone, 0);
    EXPECT_GT(done, 0);
}

TEST_P(StagedFileKilled, ACommitKilledOnceAllItsFilesAreInPlaceIsFinishedNotUndone)
{
    QTemporaryDir folder;
    const fs::path first = folder.filePath("a.crt").toStdString(), second = folder.filePath("a.key").toStdString();
    std::ofstream(first) << "old first";
    std::ofstream(second) << "old second";
    traced_commit commit({{first, "new first"}, {second, "new second"}}, GetParam());
    ASSERT_TRUE(commit.run_past(is_exchange) && commit.run_past(is_exchange));
    commit.kill();
    const auto left = listing(folder.path().toStdString());
    ASSERT_TRUE(std::any_of(left.begin(), left.end(), [](const auto& name) { return name.first.ends_with(".commit"); }))
        << "the commit was not killed before its end";
    ASSERT_EQ(pair_in(first, second), (text_pair{"new first", "new second"}));

    staged(folder.filePath("other").toStdString(), "other").commit();
    EXPECT_EQ(listing(folder.path().toStdString()),
              (std::map<std::string, std::string>{{"a.crt", "new first"}, {"a.key", "new second"}, {"other", "other"}}));
}

INSTANTIATE_TEST_SUITE_P(FileSystems, StagedFileKilled, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "WithUnnamedFiles" : "WithoutUnnamedFiles"; });

TEST(StagedFile, ASecondCommitOfAPairWaitsForTheFirstOrGivesUpSayingWhy)
{
    using namespace std::chrono_literals;
    QTemporaryDir folder;
    const fs::path first = folder.filePath("out.pem").toStdString(), second = folder.filePath("out.key").toStdString();
    std::ofstream(first) << "old pem";
    std::ofstream(second) << "old key";
    traced_commit held({{first, "held pem"}, {second, "held key"}});
    ASSERT_TRUE(held.run_past(is_exchange));
    ASSERT_EQ(pair_in(first, second), (text_pair{"held pem", "old key"}));

    // One that cannot wait long enough gives up, says why, and changes nothing.
    traced_commit impatient({{first, "impatient pem"}, {second, "impatient key"}}, true, 50ms);
    const std::string failure = impatient.finish();
    EXPECT_NE(failure.find("Another save in this folder is still running"), std::string::npos) << failure;
    EXPECT_EQ(pair_in(first, second), (text_pair{"held pem", "old key"}));

    // One that meets the held commit goes on once that has ended.
    std::error_code unknown;
    traced_commit waiting({{first, "waiting pem"}, {second, "waiting key"}});
    ASSERT_TRUE(waiting.run_past([&](const system_call& call) {
        return call.number == SYS_flock && call.result == -EWOULDBLOCK &&
               fs::equivalent(waiting.path_of(call.arguments[0]), folder.path().toStdString(), unknown);
    })) << "the second commit did not wait for the first";
    EXPECT_EQ(held.finish(), "");
    EXPECT_EQ(pair_in(first, second), (text_pair{"held pem", "held key"}));
    EXPECT_EQ(waiting.finish(), "");
    EXPECT_EQ(listing(folder.path().toStdString()),
              (std::map<std::string, std::string>{{"out.key", "waiting key"}, {"out.pem", "waiting pem"}}));
}
