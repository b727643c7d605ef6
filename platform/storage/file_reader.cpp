#include "platform/storage/file_reader.h"

#include "platform/foundation/error.h"
#include "platform/foundation/utf.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace storage {

namespace {

[[noreturn]] void fail(int error, const char16_t* what, const foundation::hstring& path)
{
    const auto reason = foundation::utf::utf8_to_utf16(std::system_category().message(error));
    throw foundation::hresult_error(foundation::hresult_from_errno(error),
                                    foundation::hstring(what) + u" \"" + path + u"\": " + reason);
}

}  // namespace

sequential_file_reader::sequential_file_reader(const foundation::hstring& path) : m_path(path), m_fd(-1), m_size(0)
{
    // Non-blocking, so opening a FIFO without a writer fails below instead of hanging.
    m_fd = ::open(foundation::utf::utf16_to_utf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) fail(errno, u"Cannot open", m_path);
    struct stat status {};
    if (::fstat(m_fd, &status) != 0) {
        const int error = errno;
        ::close(m_fd);
        fail(error, u"Cannot read the properties of", m_path);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(m_fd);
        fail(S_ISDIR(status.st_mode) ? EISDIR : ENODEV, u"Cannot read", m_path);
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

sequential_file_reader::~sequential_file_reader() { ::close(m_fd); }

std::span<const std::uint8_t> sequential_file_reader::load(std::uint32_t count)
{
    if (m_buffer.size() < count) m_buffer.resize(count);
    return {m_buffer.data(), load_into(m_buffer.data(), count)};
}

std::uint32_t sequential_file_reader::load_into(std::uint8_t* destination, std::uint32_t count)
{
    for (;;) {
        const auto got = ::read(m_fd, destination, count);
        if (got > 0) {
            m_read += static_cast<std::uint64_t>(got);
            return static_cast<std::uint32_t>(got);
        }
        if (got == 0) {
            // An end before the size the file had is a file cut short under us, not its end.
            if (count > 0 && m_read < m_size) fail(EIO, u"The file was truncated while reading", m_path);
            return 0;
        }
        if (errno != EINTR) fail(errno, u"Cannot read", m_path);
    }
}

}  // namespace storage
