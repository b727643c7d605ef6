#include "platform/storage/file_reader.h"

#include "platform/foundation/error.h"
#include "platform/foundation/utf.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
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

using read_hook = std::function<void(const foundation::hstring&, std::optional<std::uint64_t>)>;
std::atomic<bool> g_hooked{false};
std::mutex g_hook_lock;
std::shared_ptr<const read_hook> g_hook;

void before(const foundation::hstring& path, std::optional<std::uint64_t> offset)
{
    if (!g_hooked.load(std::memory_order_acquire)) return;
    std::shared_ptr<const read_hook> hook;
    {
        std::lock_guard lock(g_hook_lock);
        hook = g_hook;
    }
    if (hook) (*hook)(path, offset);
}

}  // namespace

std::string system_path(const foundation::hstring& path)
{
    if (path.str().find(u'\0') != std::u16string::npos) {
        std::u16string shown = path.str();
        std::replace(shown.begin(), shown.end(), u'\0', u'\uFFFD');
        throw foundation::hresult_error(foundation::E_INVALIDARG,
                                        u"\"" + foundation::hstring(shown) + u"\" holds a NUL character, which no file name can");
    }
    return foundation::utf::utf16_to_utf8(path);
}

void set_read_hook_for_tests(read_hook hook)
{
    std::lock_guard lock(g_hook_lock);
    g_hook = hook ? std::make_shared<const read_hook>(std::move(hook)) : nullptr;
    g_hooked.store(g_hook != nullptr, std::memory_order_release);
}

sequential_file_reader::sequential_file_reader(const foundation::hstring& path) : m_path(path), m_fd(-1), m_size(0)
{
    const auto name = system_path(path);
    before(m_path, std::nullopt);
    // Non-blocking, so opening a FIFO without a writer fails below instead of hanging.
    m_fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) fail(errno, u"Cannot open", m_path);
    // The size of what was opened, not of whatever the path names by now.
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
    if (count == 0) return 0;
    if (m_read == m_size) {
        confirm_end();
        return 0;
    }
    // Never past the size: what is read and the size given for it describe the same bytes.
    count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, m_size - m_read));
    for (;;) {
        before(m_path, m_read);
        const auto got = ::read(m_fd, destination, count);
        if (got > 0) {
            m_read += static_cast<std::uint64_t>(got);
            return static_cast<std::uint32_t>(got);
        }
        if (got == 0)
            changed(u"it ended after " + foundation::to_hstring(m_read) + u" of its " + foundation::to_hstring(m_size) +
                    u" bytes");
        if (errno != EINTR) fail(errno, u"Cannot read", m_path);
    }
}

void sequential_file_reader::confirm_end()
{
    for (;;) {
        before(m_path, m_read);
        std::uint8_t more;
        const auto got = ::read(m_fd, &more, 1);
        if (got == 0) return;
        if (got > 0) changed(u"it went on past its " + foundation::to_hstring(m_size) + u" bytes");
        if (errno != EINTR) fail(errno, u"Cannot read", m_path);
    }
}

void sequential_file_reader::changed(const foundation::hstring& how) const
{
    throw foundation::hresult_error(foundation::E_CHANGED_STATE, u"\"" + m_path + u"\" changed while it was read: " + how);
}

}  // namespace storage
