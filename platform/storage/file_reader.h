#pragma once
// Sequential reading of a regular file, front to back, with the kernel reading ahead.

#include "platform/foundation/hstring.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace storage {

// The path as the system takes it. A NUL inside would cut it short and name another file, so such
// a path fails with an hresult_error (invalid argument) saying so.
std::string system_path(const foundation::hstring& path);

class sequential_file_reader {
public:
    // Opens the file; a missing path, a directory or a special file (FIFO, device) fails with
    // foundation::hresult_error naming the path and the system's reason.
    explicit sequential_file_reader(const foundation::hstring& path);
    ~sequential_file_reader();
    sequential_file_reader(const sequential_file_reader&) = delete;
    sequential_file_reader& operator=(const sequential_file_reader&) = delete;

    // Size in bytes of the file that was opened, taken from it once it was open.
    std::uint64_t size() const noexcept { return m_size; }

    // Reads up to count further bytes and returns them, valid until the next call; nothing at
    // the end of the file. Exactly size() bytes come out: a file that ends before them or goes on
    // past them has changed while it was read, and fails with an hresult_error (E_CHANGED_STATE)
    // saying so; a failing read raises one with the system's reason.
    std::span<const std::uint8_t> load(std::uint32_t count);
    // The same, straight into the caller's memory; returns the bytes read, 0 at the end.
    std::uint32_t load_into(std::uint8_t* destination, std::uint32_t count);

private:
    // At size(): the file must have nothing more.
    void confirm_end();
    [[noreturn]] void changed(const foundation::hstring& how) const;

    foundation::hstring m_path;
    int m_fd;
    std::uint64_t m_size;
    std::uint64_t m_read = 0;
    std::vector<std::uint8_t> m_buffer;
};

// Tests only: called on the reading thread just before a file is opened (no offset) and before
// every read of it (the bytes read so far), so a test can change the file at a point of its
// choosing. An empty function removes it.
void set_read_hook_for_tests(std::function<void(const foundation::hstring& path, std::optional<std::uint64_t> offset)> hook);

}  // namespace storage
