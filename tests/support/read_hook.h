#pragma once
// Steps into the reading of one file: changes it at a chosen point, or holds its readers until the
// test lets them go, so races with a reader happen where a test wants them, every time.

#include "platform/storage/file_reader.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace test {

class ReadHook {
public:
    // Runs the step on the reading thread just before the file is opened (no offset) and before
    // every read of it (the bytes read so far). Other files are left alone.
    ReadHook(const std::filesystem::path& file, std::function<void(std::optional<std::uint64_t> offset)> step)
    {
        storage::set_read_hook_for_tests([path = foundation::hstring(file.u16string()), step = std::move(step)](
                                             const foundation::hstring& read, std::optional<std::uint64_t> offset) {
            if (read == path) step(offset);
        });
    }
    ~ReadHook() { storage::set_read_hook_for_tests({}); }
    ReadHook(const ReadHook&) = delete;
    ReadHook& operator=(const ReadHook&) = delete;
};

// Holds every opening of a file before its first read until the test releases it by number
// (0 for the first opening). A held reader goes on by itself after a minute, so a failing test
// cannot hang.
class OpeningGate {
public:
    explicit OpeningGate(const std::filesystem::path& file)
        : m_state(std::make_shared<state>()), m_hook(file, [state = m_state](std::optional<std::uint64_t> offset) {
              if (offset) return;
              std::unique_lock lock(state->lock);
              const std::size_t number = state->released.size();
              state->released.push_back(false);
              state->changed.notify_all();
              state->changed.wait_for(lock, std::chrono::minutes(1), [&] { return state->released[number]; });
          })
    {
    }
    ~OpeningGate()
    {
        std::lock_guard lock(m_state->lock);
        m_state->released.assign(m_state->released.size(), true);
        m_state->changed.notify_all();
    }

    // Waits a bounded time until this many openings have come.
    bool WaitForOpenings(std::size_t count)
    {
        std::unique_lock lock(m_state->lock);
        return m_state->changed.wait_for(lock, std::chrono::seconds(30), [&] { return m_state->released.size() >= count; });
    }
    void Release(std::size_t number)
    {
        std::lock_guard lock(m_state->lock);
        if (number < m_state->released.size()) m_state->released[number] = true;
        m_state->changed.notify_all();
    }

private:
    // Shared with the readers, which may still be leaving the gate when it is gone.
    struct state {
        std::mutex lock;
        std::condition_variable changed;
        std::vector<bool> released;
    };
    std::shared_ptr<state> m_state;
    ReadHook m_hook;
};

}  // namespace test
