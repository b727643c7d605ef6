#include "platform/storage/StorageFile.h"

#include "platform/foundation/utf.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <system_error>

namespace storage {

namespace {

[[noreturn]] void fail(int error, const hstring& what)
{
    throw foundation::hresult_error(foundation::hresult_from_errno(error), what);
}

hstring reason(int error) { return foundation::utf::utf8_to_utf16(std::system_category().message(error)); }

// Runs work on the pool and completes an operation with its result.
template <class T, class F>
foundation::IAsyncOperation<T> on_pool(F work)
{
    foundation::async_source<T> source;
    if (!foundation::thread_pool::submit([source, work = std::move(work)]() mutable {
            try {
                source.complete(work());
            } catch (...) {
                source.fail(std::current_exception());
            }
        }))
        source.fail(std::make_exception_ptr(foundation::hresult_error(foundation::E_OUTOFMEMORY)));
    return source.operation();
}

}  // namespace

StorageFile::StorageFile(hstring path) : m_path(std::move(path)) {}

hstring StorageFile::Name() const
{
    const auto slash = m_path.str().find_last_of(u'/');
    return slash == std::u16string::npos ? m_path : hstring(m_path.str().substr(slash + 1));
}

foundation::IAsyncOperation<std::shared_ptr<StorageFile>> StorageFile::GetFileFromPathAsync(hstring path)
{
    return on_pool<std::shared_ptr<StorageFile>>([path] {
        if (path.empty()) fail(EINVAL, u"No file name was given");
        if (path[0] != u'/') fail(EINVAL, u"\"" + path + u"\" is not an absolute path");
        const auto name = system_path(path);
        struct stat status {};
        if (::stat(name.c_str(), &status) != 0) {
            const int error = errno;
            fail(error, u"\"" + path + u"\": " + reason(error));
        }
        if (S_ISDIR(status.st_mode)) fail(EISDIR, u"\"" + path + u"\" is a folder, not a file");
        if (!S_ISREG(status.st_mode)) {
            const char16_t* kind = S_ISFIFO(status.st_mode)   ? u"a pipe"
                                   : S_ISSOCK(status.st_mode) ? u"a socket"
                                                              : u"a device";
            fail(ENODEV, u"\"" + path + u"\" is " + kind + u", not a regular file");
        }
        return foundation::make<StorageFile>(path);
    });
}

foundation::IAsyncOperation<std::shared_ptr<FileInputStream>> StorageFile::OpenSequentialReadAsync() const
{
    return on_pool<std::shared_ptr<FileInputStream>>([path = m_path] { return foundation::make<FileInputStream>(path); });
}

foundation::IAsyncOperation<std::uint32_t> DataReader::LoadAsync(std::uint32_t count)
{
    // The reader lives while its load runs.
    auto self = std::static_pointer_cast<DataReader>(strong_self());
    return on_pool<std::uint32_t>([self, count] {
        // Bytes not yet taken stay in front of the new ones.
        auto& reader = *self;
        const std::size_t kept = reader.m_size - reader.m_consumed;
        if (kept > 0 && reader.m_consumed > 0)
            std::memmove(reader.m_loaded.get(), reader.m_loaded.get() + reader.m_consumed, kept);
        reader.m_size = kept;
        reader.m_consumed = 0;
        // Bytes handed over in a buffer that is still held are that buffer's now.
        if (reader.m_loaded.use_count() > 1) {
            reader.m_loaded = nullptr;
            reader.m_capacity = 0;
        }
        if (reader.m_capacity < kept + count) {
            std::shared_ptr<std::uint8_t[]> larger(new std::uint8_t[kept + count]);
            if (kept > 0) std::memcpy(larger.get(), reader.m_loaded.get(), kept);
            reader.m_loaded = std::move(larger);
            reader.m_capacity = kept + count;
        }
        std::uint32_t total = 0;
        while (total < count) {
            const auto got = reader.m_stream->read_into(reader.m_loaded.get() + kept + total, count - total);
            if (got == 0) break;
            total += got;
        }
        reader.m_size = kept + total;
        return total;
    });
}

std::shared_ptr<Buffer> DataReader::ReadBuffer(std::uint32_t length)
{
    if (length > UnconsumedBufferLength()) throw foundation::hresult_out_of_bounds(u"Fewer bytes are loaded than asked for");
    if (m_consumed == 0 && length == m_size) {
        // Everything loaded goes: share the bytes instead of copying them.
        auto whole = foundation::make<Buffer>(m_loaded, static_cast<std::uint32_t>(m_capacity), length);
        m_size = 0;
        return whole;
    }
    auto buffer = foundation::make<Buffer>(length);
    if (length > 0) std::memcpy(buffer->data(), m_loaded.get() + m_consumed, length);
    buffer->Length(length);
    m_consumed += length;
    return buffer;
}

}  // namespace storage
