#include "platform/storage/staged_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace storage {

namespace fs = std::filesystem;

namespace {

// Every name the staging gives a file starts so. The rest is short and random, not derived from
// the destination's name, which may already be as long as a name can be.
constexpr std::string_view hidden_prefix = ".zintrel-";
constexpr std::string_view journal_suffix = ".commit";

[[noreturn]] void throw_errno(int error, const fs::path& path)
{
    throw std::system_error(error, std::system_category(), path.string());
}

[[noreturn]] void throw_commit_error(int error, const fs::path& path)
{
    throw fs::filesystem_error("Could not replace", path, std::error_code(error, std::system_category()));
}

std::string random_name()
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Drawn afresh each time: a generator's state would be shared by processes forked from one.
    std::random_device random;
    std::string name(hidden_prefix);
    for (int i = 0; i < 10; ++i) name += letters[random() % (sizeof letters - 1)];
    return name;
}

bool ends_with(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// 0, or the error number.
int write_all(int descriptor, std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : ENOSPC;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return 0;
}

class descriptor {
public:
    explicit descriptor(int value) : m_value(value) {}
    ~descriptor()
    {
        if (m_value >= 0) ::close(m_value);
    }
    descriptor(const descriptor&) = delete;
    descriptor& operator=(const descriptor&) = delete;
    int get() const noexcept { return m_value; }

private:
    int m_value;
};

// A file without a name in the folder, or -1 where the file system cannot make one.
int open_unnamed(const fs::path& folder, int flags, mode_t mode)
{
    const int result = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | flags | O_CLOEXEC, mode);
    if (result < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -2;
    return result;
}

// Gives an unnamed file its first name; false with errno set when that fails.
bool link_unnamed(int file, int folder, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(file);
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    // Without /proc, the descriptor itself, which some systems allow only to the privileged.
    return errno == ENOENT && ::linkat(file, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// One file of a commit: the inode holding the new contents, the hidden name it has until it is
// moved in (which holds the old contents after a swap), and the destination's name.
struct entry {
    ino_t inode = 0;
    std::string fresh;
    std::string destination;

    std::string aside() const { return fresh + ".old"; }
};

// Puts one file in place: 0 or the error number.
int place(int folder, const entry& file)
{
    struct stat existing{};
    if (::fstatat(folder, file.destination.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(existing.st_mode))
        return EISDIR;
    // A swap keeps the old file under the hidden name, ready to be put back.
    if (::renameat2(folder, file.fresh.c_str(), folder, file.destination.c_str(), RENAME_EXCHANGE) == 0) return 0;
    if (errno == ENOENT) {
        if (::renameat2(folder, file.fresh.c_str(), folder, file.destination.c_str(), RENAME_NOREPLACE) == 0) return 0;
        if (errno != EINVAL) return errno;
        return ::renameat(folder, file.fresh.c_str(), folder, file.destination.c_str()) == 0 ? 0 : errno;
    }
    if (errno != EINVAL) return errno;
    // A file system that cannot swap: the old file steps aside first.
    if (::renameat(folder, file.destination.c_str(), folder, file.aside().c_str()) != 0 && errno != ENOENT) return errno;
    return ::renameat(folder, file.fresh.c_str(), folder, file.destination.c_str()) == 0 ? 0 : errno;
}

// Undoes whatever part of a commit was done. The inode tells a new file from an old one: new ones
// go, old ones return to their destination. True when every old file is back.
bool roll_back(int folder, const std::vector<entry>& files)
{
    bool complete = true;
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        bool restored = false;
        for (const auto& name : {file->fresh, file->aside()}) {
            struct stat found{};
            if (::fstatat(folder, name.c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (found.st_ino == file->inode) {
                ::unlinkat(folder, name.c_str(), 0);
            } else if (::renameat(folder, name.c_str(), folder, file->destination.c_str()) == 0) {
                restored = true;
            } else {
                complete = false;
            }
        }
        // A destination that held nothing before has nothing again.
        struct stat placed{};
        if (!restored && ::fstatat(folder, file->destination.c_str(), &placed, AT_SYMLINK_NOFOLLOW) == 0 &&
            placed.st_ino == file->inode)
            ::unlinkat(folder, file->destination.c_str(), 0);
    }
    return complete;
}

// True once every file of the commit is in place: from then on the commit stands.
bool placed(int folder, const std::vector<entry>& files)
{
    for (const auto& file : files) {
        struct stat found{};
        if (::fstatat(folder, file.destination.c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0 || found.st_ino != file.inode)
            return false;
    }
    return true;
}

// Removes the old files a commit set aside under its hidden names.
void remove_old(int folder, const std::vector<entry>& files)
{
    for (const auto& file : files) {
        ::unlinkat(folder, file.fresh.c_str(), 0);
        ::unlinkat(folder, file.aside().c_str(), 0);
    }
}

// Ends a commit that was interrupted. One whose files are all in place is finished, not undone:
// the new files have been visible, and whole, since its last one went in, and may be in use.
// True when nothing of it is left to do.
bool settle(int folder, const std::vector<entry>& files)
{
    if (!placed(folder, files)) return roll_back(folder, files);
    remove_old(folder, files);
    return true;
}

std::string journal_text(const std::vector<entry>& files)
{
    std::string text;
    for (const auto& file : files) {
        text += std::to_string(file.inode);
        text += '\0';
        text += file.fresh;
        text += '\0';
        text += file.destination;
        text += '\0';
    }
    return text;
}

std::optional<std::vector<entry>> read_journal(int file)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(file, buffer, sizeof buffer)) != 0;) {
        if (got < 0 || text.size() > (1u << 20)) return std::nullopt;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    std::vector<std::string> fields;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\0', start);
        if (end == std::string::npos) return std::nullopt;
        fields.push_back(text.substr(start, end - start));
    }
    if (fields.empty() || fields.size() % 3 != 0) return std::nullopt;
    std::vector<entry> files;
    for (std::size_t i = 0; i < fields.size(); i += 3) {
        const auto plain = [](const std::string& name) {
            return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
        };
        if (!plain(fields[i + 1]) || !fields[i + 1].starts_with(hidden_prefix) || !plain(fields[i + 2]))
            return std::nullopt;
        try {
            files.push_back({static_cast<ino_t>(std::stoull(fields[i])), fields[i + 1], fields[i + 2]});
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return files;
}

// Writes the list of a commit under its name, locked for as long as the commit runs, so that a
// later commit can tell an abandoned list from one still in use. Returns the locked descriptor,
// or -1 when the name is taken and another may be tried.
int write_journal(int folder, const std::string& name, const std::vector<entry>& files, const fs::path& reported,
                  bool may_retry)
{
    // Where the file system cannot make unnamed files, the list is written under a name that is
    // not a journal's and renamed once it is whole, so that no journal is ever seen half written.
    const std::string unfinished = name + "-new";
    int file = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    const bool unnamed = file >= 0;
    if (!unnamed) file = ::openat(folder, unfinished.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file < 0 && errno == EEXIST && may_retry) return -1;
    if (file < 0) throw_commit_error(errno, reported);
    ::flock(file, LOCK_EX);
    const std::string text = journal_text(files);
    int error = write_all(file, std::as_bytes(std::span(text)));
    if (error == 0 && ::fsync(file) != 0) error = errno;
    if (error == 0 && unnamed && !link_unnamed(file, folder, name)) error = errno;
    if (error == 0 && !unnamed && ::renameat2(folder, unfinished.c_str(), folder, name.c_str(), RENAME_NOREPLACE) != 0 &&
        (errno != EINVAL || ::renameat(folder, unfinished.c_str(), folder, name.c_str()) != 0))
        error = errno;
    if (error != 0) {
        if (!unnamed) ::unlinkat(folder, unfinished.c_str(), 0);
        ::close(file);
        if (error == EEXIST && may_retry) return -1;
        throw_commit_error(error, reported);
    }
    return file;
}

// The calling user's own regular file, not in use by a live commit.
bool abandoned(int file)
{
    struct stat status{};
    return ::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
           ::flock(file, LOCK_EX | LOCK_NB) == 0;
}

std::vector<std::string> hidden_names(int folder)
{
    std::vector<std::string> names;
    const int listed = ::dup(folder);
    DIR* listing = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!listing) {
        if (listed >= 0) ::close(listed);
        return names;
    }
    ::rewinddir(listing);
    while (const dirent* item = ::readdir(listing))
        if (std::string_view(item->d_name).starts_with(hidden_prefix)) names.emplace_back(item->d_name);
    ::closedir(listing);
    return names;
}

// Finishes what an interrupted process left in the folder: a commit it did not end is finished
// or undone, and files it staged or set aside are removed. Files of a commit still running are
// left alone.
void recover(int folder)
{
    const auto names = hidden_names(folder);
    std::set<std::string> running;
    for (const auto& name : names) {
        if (!ends_with(name, journal_suffix)) continue;
        const descriptor journal(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (journal.get() < 0) continue;
        const auto files = abandoned(journal.get()) ? read_journal(journal.get()) : std::nullopt;
        if (files && settle(folder, *files)) ::unlinkat(folder, name.c_str(), 0);
        else running.insert(name.substr(0, name.size() - journal_suffix.size()));
    }
    for (const auto& name : names) {
        if (ends_with(name, journal_suffix)) continue;
        const std::string group = name.substr(0, name.find('.', hidden_prefix.size()));
        // A commit lists its journal before it names any file.
        if (running.contains(group) || ::faccessat(folder, (group + std::string(journal_suffix)).c_str(), F_OK,
                                                   AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        const descriptor file(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file.get() >= 0 && abandoned(file.get())) ::unlinkat(folder, name.c_str(), 0);
    }
}

class busy_category final : public std::error_category {
public:
    const char* name() const noexcept override { return "storage"; }
    std::string message(int) const override
    {
        return "Another save in this folder is still running; try again once it has finished";
    }
    std::error_condition default_error_condition(int value) const noexcept override
    {
        return {value, std::generic_category()};
    }
};

// Commits in one folder run one at a time, or two writers of one pair could each put in one of
// its files. The lock is the folder's own: it leaves no file behind, and the kernel lets it go
// when its holder ends, however it ends.
void lock_folder(int folder, std::chrono::milliseconds wait, const fs::path& reported)
{
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (auto pause = 1ms; ::flock(folder, LOCK_EX | LOCK_NB) != 0; pause = std::min(pause * 2, 50ms)) {
        if (errno == EINTR) continue;
        // A file system that cannot lock a folder commits as it did before there was a lock.
        if (errno != EWOULDBLOCK) return;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            static const busy_category busy;
            throw fs::filesystem_error("Could not replace", reported, std::error_code(EAGAIN, busy));
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    }
}

}  // namespace

staged_file::staged_file(fs::path destination, file_access access)
    : m_destination(std::move(destination))
{
    struct stat existing{};
    if (::stat(m_destination.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) throw_errno(EISDIR, m_destination);

    // The mode is given at creation, so a private file is never readable by others, not even
    // while it is still empty.
    const mode_t mode = access == file_access::owner_only ? 0600 : 0666;
    m_descriptor = open_unnamed(m_destination.parent_path(), O_WRONLY, mode);
    if (m_descriptor == -2) throw_errno(errno, m_destination);
    if (m_descriptor >= 0) return;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = m_destination.parent_path() / random_name();
        m_descriptor = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_descriptor >= 0) {
            // Tells a later commit in the folder that this file is still being written.
            ::flock(m_descriptor, LOCK_EX);
            return;
        }
        if (errno != EEXIST) throw_errno(errno, m_destination);
    }
    throw_errno(EEXIST, m_destination);
}

staged_file::staged_file(staged_file&& other) noexcept
    : m_destination(std::move(other.m_destination)),
      m_temporary(std::move(other.m_temporary)),
      m_descriptor(std::exchange(other.m_descriptor, -1)),
      m_flushed(other.m_flushed),
      m_committed(std::exchange(other.m_committed, true))
{
}

staged_file::~staged_file()
{
    if (m_descriptor >= 0) ::close(m_descriptor);
    if (!m_committed && !m_temporary.empty()) ::unlink(m_temporary.c_str());
}

void staged_file::write(std::span<const std::byte> bytes)
{
    if (m_descriptor < 0 || m_flushed) throw_errno(EBADF, m_destination);
    if (const int error = write_all(m_descriptor, bytes)) throw_errno(error, m_destination);
}

void staged_file::close()
{
    if (m_flushed) return;
    if (m_descriptor < 0) throw_errno(EBADF, m_destination);
    // A full disk or a failing device may show only now.
    if (::fsync(m_descriptor) != 0) throw_errno(errno, m_destination);
    m_flushed = true;
}

void staged_file::commit()
{
    if (m_committed) return;
    staged_file* self = this;
    commit_together(std::span(&self, 1));
}

void commit_together(std::span<staged_file* const> files, std::chrono::milliseconds wait)
{
    if (files.empty()) return;
    const fs::path folder_path = files.front()->m_destination.parent_path();
    for (staged_file* file : files) {
        if (file->m_committed || file->m_descriptor < 0) throw_commit_error(EBADF, file->m_destination);
        if (file->m_destination.parent_path() != folder_path) throw_commit_error(EXDEV, file->m_destination);
        try {
            file->close();
        } catch (const std::system_error& error) {
            throw_commit_error(error.code().value(), file->m_destination);
        }
    }
    const descriptor folder(
        ::open(folder_path.empty() ? "." : folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) throw_commit_error(errno, files.front()->m_destination);
    // Held until the folder's descriptor closes, when the commit has ended.
    lock_folder(folder.get(), wait, files.front()->m_destination);
    recover(folder.get());

    std::vector<entry> entries;
    std::string journal_name;
    int journal_file = -1;
    for (int attempt = 0; journal_file < 0; ++attempt) {
        const std::string group = random_name();
        entries.clear();
        for (std::size_t i = 0; i < files.size(); ++i) {
            struct stat status{};
            if (::fstat(files[i]->m_descriptor, &status) != 0) throw_commit_error(errno, files[i]->m_destination);
            entries.push_back({status.st_ino,
                               files[i]->m_temporary.empty() ? group + "." + std::to_string(i)
                                                              : files[i]->m_temporary.filename().string(),
                               files[i]->m_destination.filename().string()});
        }
        journal_name = group + std::string(journal_suffix);
        journal_file = write_journal(folder.get(), journal_name, entries, files.front()->m_destination, attempt < 100);
    }
    const descriptor journal(journal_file);
    const auto fail = [&](int error, std::size_t at) {
        if (roll_back(folder.get(), entries)) ::unlinkat(folder.get(), journal_name.c_str(), 0);
        throw_commit_error(error, files[at]->m_destination);
    };
    for (std::size_t i = 0; i < files.size(); ++i)
        if (files[i]->m_temporary.empty() && !link_unnamed(files[i]->m_descriptor, folder.get(), entries[i].fresh))
            fail(errno, i);
    for (std::size_t i = 0; i < files.size(); ++i)
        if (const int error = place(folder.get(), entries[i])) fail(error, i);

    // Every file is in place: the commit stands, and what the hidden names hold now is old.
    ::unlinkat(folder.get(), journal_name.c_str(), 0);
    remove_old(folder.get(), entries);
    ::fsync(folder.get());
    for (staged_file* file : files) {
        file->m_committed = true;
        ::close(std::exchange(file->m_descriptor, -1));
    }
}

}  // namespace storage
