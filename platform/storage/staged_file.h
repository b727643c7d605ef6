#pragma once
// A file that appears only once it is complete. The bytes go to an unnamed file in the
// destination's folder, so a run that is interrupted leaves nothing behind under any name (where
// the file system cannot make unnamed files, a hidden one takes its place and a later commit in
// that folder removes it). commit() puts it in place of the destination at once; an existing file
// stays as it was until then. Dropped before commit(), the file is gone and the destination is
// untouched.
//
// commit_together() does the same for several files of one folder, all or none: a failure on the
// way puts every replaced file back, and a commit interrupted by the end of the process is ended
// by the next commit in that folder, finished when all its files were in place and undone
// otherwise. Commits in one folder take turns, also across processes.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <span>

namespace storage {

enum class file_access {
    shared,      // read and write as the user's umask allows
    owner_only,  // read and write for the owner alone (0600), from the moment it exists
};

class staged_file {
public:
    // Creates the file. A destination that is a directory is refused here, before anything is
    // written, rather than when the file is moved in. Throws std::system_error.
    staged_file(std::filesystem::path destination, file_access access);
    ~staged_file();
    staged_file(staged_file&& other) noexcept;
    staged_file& operator=(staged_file&&) = delete;

    const std::filesystem::path& destination() const noexcept { return m_destination; }

    // Throws std::system_error.
    void write(std::span<const std::byte> bytes);
    // Flushes the written bytes to the disk; nothing can be written after it. commit() does it
    // when not done yet. Throws std::system_error.
    void close();
    // Puts the file in place of the destination. Throws std::filesystem::filesystem_error naming
    // the destination.
    void commit();

private:
    friend void commit_together(std::span<staged_file* const> files, std::chrono::milliseconds wait);

    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;  // empty while the file has no name
    int m_descriptor = -1;
    bool m_flushed = false;
    bool m_committed = false;
};

// How long a commit waits for another one in its folder to end.
constexpr std::chrono::milliseconds commit_wait = std::chrono::seconds(10);

// Puts every file in place of its destination, or none: on failure each destination holds what
// it held before. All destinations must be in one folder. Throws std::filesystem::filesystem_error
// naming the destination that could not be replaced; its code compares equal to
// std::errc::resource_unavailable_try_again, with a message that says so, when another commit in
// the folder did not end within the wait.
void commit_together(std::span<staged_file* const> files, std::chrono::milliseconds wait = commit_wait);

}  // namespace storage
