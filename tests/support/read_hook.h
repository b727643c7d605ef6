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

// Holds every thread that passes it until the test releases it by number (0 for the first to
// come). Copies share one gate, so a thread may still be leaving it when the test's copy is gone;
// a held thread goes on by itself after a minute, so a failing test cannot hang.
class Gate {
public:
    void Pass() const
    {
        std::unique_lock lock(m_state->lock);
        const std::size_t number = m_state->released.size();
        m_state->released.push_back(false);
        m_state->changed.notify_all();
        m_state->changed.wait_for(lock, std::chrono::minutes(1), [&] { return m_state->released[number]; });
    }
    // Waits a bounded time until this many threads have come.
    bool WaitForArrivals(std::size_t count) const
    {
        std::unique_lock lock(m_state->lock);
        return m_state->changed.wait_for(lock, std::chrono::seconds(30), [&] { return m_state->released.size() >= count; });
    }
    void Release(std::size_t number) const
    {
        std::lock_guard lock(m_state->lock);
        if (number < m_state->released.size()) m_state->released[number] = true;
        m_state->changed.notify_all();
    }
    void ReleaseAll() const
    {
        std::lock_guard lock(m_state->lock);
        m_state->released.assign(m_state->released.size(), true);
        m_state->changed.notify_all();
    }

private:
    struct state {
        std::mutex lock;
        std::condition_variable changed;
        std::vector<bool> released;
    };
    std::shared_ptr<state> m_state = std::make_shared<state>();
};

// Holds every opening of a file before its first read.
class OpeningGate : public Gate {
public:
    explicit OpeningGate(const std::filesystem::path& file)
        : m_hook(file, [gate = Gate(*this)](std::optional<std::uint64_t> offset) {
              if (!offset) gate.Pass();
          })
    {
    }
    ~OpeningGate() { ReleaseAll(); }

private:
    ReadHook m_hook;
};

}  // namespace test
