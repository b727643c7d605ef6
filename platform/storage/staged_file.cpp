#include "platform/storage/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>
#include <utility>

namespace storage {

namespace {

[[noreturn]] void throw_errno(int error, const std::filesystem::path& path)
{
    throw std::system_error(error, std::system_category(), path.string());
}

// A hidden name in the destination's folder: the same file system, so the rename is atomic. Not
// derived from the destination's name, which may already be as long as a name can be.
std::filesystem::path temporary_name(const std::filesystem::path& destination, std::mt19937_64& random)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = ".zintrel-";
    for (int i = 0; i < 10; ++i) name += letters[random() % (sizeof letters - 1)];
    return destination.parent_path() / name;
}

void sync_folder(const std::filesystem::path& folder)
{
    // Makes the rename itself durable; a folder that cannot be opened or synced keeps the file.
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

staged_file::staged_file(std::filesystem::path destination, file_access access)
    : m_destination(std::move(destination))
{
    struct stat existing{};
    if (::stat(m_destination.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) throw_errno(EISDIR, m_destination);

    // The mode is given at creation, so a private file is never readable by others, not even
    // while it is still empty.
    const mode_t mode = access == file_access::owner_only ? 0600 : 0666;
    std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = temporary_name(m_destination, random);
        m_descriptor = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_descriptor >= 0) return;
        if (errno != EEXIST) throw_errno(errno, m_destination);
    }
    throw_errno(EEXIST, m_destination);
}

staged_file::staged_file(staged_file&& other) noexcept
    : m_destination(std::move(other.m_destination)),
      m_temporary(std::move(other.m_temporary)),
      m_descriptor(std::exchange(other.m_descriptor, -1)),
      m_committed(std::exchange(other.m_committed, true))
{
}

staged_file::~staged_file()
{
    if (m_descriptor >= 0) ::close(m_descriptor);
    if (!m_committed) ::unlink(m_temporary.c_str());
}

void staged_file::write(std::span<const std::byte> bytes)
{
    if (m_descriptor < 0) throw_errno(EBADF, m_destination);
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw_errno(written < 0 ? errno : ENOSPC, m_destination);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

void staged_file::close()
{
    if (m_descriptor < 0) return;
    const int descriptor = std::exchange(m_descriptor, -1);
    // A full disk or a failing device may show only now.
    if (::fsync(descriptor) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw_errno(error, m_destination);
    }
    if (::close(descriptor) != 0) throw_errno(errno, m_destination);
}

void staged_file::commit()
{
    if (m_committed) return;
    close();
    if (::rename(m_temporary.c_str(), m_destination.c_str()) != 0) throw_errno(errno, m_destination);
    m_committed = true;
    sync_folder(m_destination.parent_path());
}

}  // namespace storage
