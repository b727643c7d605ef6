#pragma once
// Buffers and random-access streams.

#include "platform/foundation/async.h"
#include "platform/foundation/object.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace storage {

using foundation::hstring;

enum class InputStreamOptions : std::uint32_t { None = 0, Partial = 1, ReadAhead = 2 };

// A block of bytes with a capacity and the length in use.
class Buffer final : public foundation::Object {
public:
    explicit Buffer(std::uint32_t capacity) : m_bytes(std::make_shared<std::uint8_t[]>(capacity)), m_capacity(capacity) {}
    // Shares the bytes instead of copying them: capacity bytes, the first length of them in use.
    Buffer(std::shared_ptr<std::uint8_t[]> bytes, std::uint32_t capacity, std::uint32_t length)
        : m_bytes(std::move(bytes)), m_capacity(capacity), m_length(length)
    {
    }
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.Streams.Buffer"; }

    std::uint32_t Capacity() const noexcept { return m_capacity; }
    std::uint32_t Length() const noexcept { return m_length; }
    // Fails with invalid-argument beyond the capacity.
    void Length(std::uint32_t value);
    std::uint8_t* data() noexcept { return m_bytes.get(); }
    const std::uint8_t* data() const noexcept { return m_bytes.get(); }

private:
    std::shared_ptr<std::uint8_t[]> m_bytes;
    std::uint32_t m_capacity;
    std::uint32_t m_length = 0;
};

class IRandomAccessStream {
public:
    virtual ~IRandomAccessStream() = default;
    virtual std::uint64_t Size() const = 0;
    virtual std::uint64_t Position() const = 0;
    virtual void Seek(std::uint64_t position) = 0;
    // Reads up to count bytes from the position into the buffer; the result is the buffer with
    // its Length set to the bytes read (0 at the end).
    virtual foundation::IAsyncOperation<std::shared_ptr<Buffer>> ReadAsync(std::shared_ptr<Buffer> buffer, std::uint32_t count,
                                                                           InputStreamOptions options) = 0;
};

class InMemoryRandomAccessStream final : public foundation::Object, public IRandomAccessStream {
public:
    InMemoryRandomAccessStream() = default;
    explicit InMemoryRandomAccessStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    hstring GetRuntimeClassName() const override { return u"Windows.Storage.Streams.InMemoryRandomAccessStream"; }

    std::uint64_t Size() const override { return m_bytes.size(); }
    std::uint64_t Position() const override { return m_position; }
    void Seek(std::uint64_t position) override { m_position = position; }
    foundation::IAsyncOperation<std::shared_ptr<Buffer>> ReadAsync(std::shared_ptr<Buffer> buffer, std::uint32_t count,
                                                                   InputStreamOptions options) override;
    const std::vector<std::uint8_t>& bytes() const noexcept { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_position = 0;
};

}  // namespace storage
