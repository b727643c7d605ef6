#pragma once
// Sequential reading of a regular file, front to back, with the kernel reading ahead.

#include "platform/foundation/hstring.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace storage {

class sequential_file_reader {
public:
    // Opens the file; a missing path, a directory or a special file (FIFO, device) fails with
    // foundation::hresult_error naming the path and the system's reason.
    explicit sequential_file_reader(const foundation::hstring& path);
    ~sequential_file_reader();
    sequential_file_reader(const sequential_file_reader&) = delete;
    sequential_file_reader& operator=(const sequential_file_reader&) = delete;

    // Size in bytes when the file was opened.
    std::uint64_t size() const noexcept { return m_size; }

    // Reads up to count further bytes and returns them, valid until the next call; nothing at
    // the end of the file. A failing read raises foundation::hresult_error, and so does a file
    // that ends before the size it had when it was opened (it was truncated while being read).
    std::span<const std::uint8_t> load(std::uint32_t count);
    // The same, straight into the caller's memory; returns the bytes read, 0 at the end.
    std::uint32_t load_into(std::uint8_t* destination, std::uint32_t count);

private:
    foundation::hstring m_path;
    int m_fd;
    std::uint64_t m_size;
    std::uint64_t m_read = 0;
    std::vector<std::uint8_t> m_buffer;
};

}  // namespace storage
