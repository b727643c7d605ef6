#pragma once
// A file that appears only once it is complete. The bytes go to a new temporary file beside the
// destination; close() flushes it to the disk and commit() renames it over the destination, so
// an existing file stays as it was until the new one is whole. Dropped before commit(), the
// temporary is removed and the destination is untouched.

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
    // Creates the temporary. A destination that is a directory is refused here, before anything
    // is written, rather than when the rename fails. Throws std::system_error.
    staged_file(std::filesystem::path destination, file_access access);
    ~staged_file();
    staged_file(staged_file&& other) noexcept;
    staged_file& operator=(staged_file&&) = delete;

    const std::filesystem::path& destination() const noexcept { return m_destination; }

    // Throws std::system_error.
    void write(std::span<const std::byte> bytes);
    // Flushes the written bytes to the disk and closes the temporary; commit() does it when not
    // done yet. Throws std::system_error.
    void close();
    // Renames the temporary over the destination. Throws std::system_error.
    void commit();

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_temporary;
    int m_descriptor = -1;
    bool m_committed = false;
};

}  // namespace storage
