#pragma once
// Files by path: a regular file's handle, its size, and reading it front to back.

#include "platform/foundation/async.h"
#include "platform/storage/file_reader.h"
#include "platform/storage/streams.h"

namespace storage {

// A stream read once from front to back.
class IInputStream {
public:
    virtual ~IInputStream() = default;
    // Reads up to count bytes into the destination on the calling thread; 0 at the end.
    virtual std::uint32_t read_into(std::uint8_t* destination, std::uint32_t count) = 0;
};

// A file opened for reading. It gives exactly Size() bytes, then 0; a file that ends before them or
// goes on past them has changed while it was read, and the read fails (E_CHANGED_STATE).
class FileInputStream final : public foundation::Object, public IInputStream {
public:
    explicit FileInputStream(const hstring& path) : m_reader(path) {}
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.Streams.FileInputStream"; }
    // The size of the file that was opened, taken once it was open.
    std::uint64_t Size() const noexcept { return m_reader.size(); }
    std::uint32_t read_into(std::uint8_t* destination, std::uint32_t count) override
    {
        return m_reader.load_into(destination, count);
    }

private:
    sequential_file_reader m_reader;
};

class StorageFile final : public foundation::Object {
public:
    explicit StorageFile(hstring path);
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.StorageFile"; }

    // The file at an absolute path. A relative or missing path, a path holding a NUL, a directory,
    // a FIFO, a socket or a device fails with an hresult_error saying what is wrong with which path.
    static foundation::IAsyncOperation<std::shared_ptr<StorageFile>> GetFileFromPathAsync(hstring path);

    const hstring& Path() const noexcept { return m_path; }
    hstring Name() const;
    // Opens the file as it is now; the stream's Size and bytes are that file's, whatever the path
    // names later.
    foundation::IAsyncOperation<std::shared_ptr<FileInputStream>> OpenSequentialReadAsync() const;

private:
    hstring m_path;
};

// Reads a stream in requests: LoadAsync loads bytes on the pool, ReadBuffer takes them.
class DataReader final : public foundation::Object {
public:
    explicit DataReader(std::shared_ptr<IInputStream> stream) : m_stream(std::move(stream)) {}
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.Streams.DataReader"; }

    storage::InputStreamOptions InputStreamOptions() const noexcept { return m_options; }
    void InputStreamOptions(storage::InputStreamOptions value) noexcept { m_options = value; }

    // Loads up to count bytes (fewer only at the end; 0 there). A read error fails the operation.
    foundation::IAsyncOperation<std::uint32_t> LoadAsync(std::uint32_t count);
    std::uint32_t UnconsumedBufferLength() const noexcept { return static_cast<std::uint32_t>(m_size - m_consumed); }
    // Takes length loaded bytes; more than are loaded fails with out-of-bounds.
    std::shared_ptr<Buffer> ReadBuffer(std::uint32_t length);

private:
    std::shared_ptr<IInputStream> m_stream;
    storage::InputStreamOptions m_options = storage::InputStreamOptions::None;
    // Loaded bytes: m_size of m_capacity in use, those before m_consumed taken. Taking all of them
    // shares the memory with the buffer; once that buffer is gone the next load reuses it, so a
    // long read keeps one block instead of making (and zeroing) a new one per load.
    std::shared_ptr<std::uint8_t[]> m_loaded;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::size_t m_consumed = 0;
};

}  // namespace storage
