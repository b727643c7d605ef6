#pragma once
// The two kinds of thread the program runs on: the UI thread (the Qt main thread, whose event
// loop runs posted work) and the thread pool.

#include <cstdint>
#include <functional>

namespace foundation {

// Win32-shaped entry of the pool: runs callback(instance, context) on a pool thread.
using PTP_CALLBACK_INSTANCE = void*;
using PTP_SIMPLE_CALLBACK = void (*)(PTP_CALLBACK_INSTANCE instance, void* context);
bool TrySubmitThreadpoolCallback(PTP_SIMPLE_CALLBACK callback, void* context, void* environment);

namespace thread_pool {
// Runs the work on a pool thread. The pool grows while all its threads are busy, so work that
// waits for other work never starves; idle threads leave after a while. An exception that
// escapes the work ends the process.
bool submit(std::function<void()> work) noexcept;
bool is_pool_thread() noexcept;
// True when no work is queued or running.
bool idle() noexcept;
// Test hook: caps the number of pool threads (0: the normal cap). Threads above a new cap leave
// once they are idle.
void limit_threads_for_tests(unsigned threads);
}  // namespace thread_pool

namespace processors {
// The processors this process may run on (taskset narrows them), at least 1.
unsigned available() noexcept;
// CPU time the calling thread has used, in nanoseconds: time it spent waiting or preempted is not
// counted, so a short measurement holds on a busy machine too.
std::int64_t thread_time_ns() noexcept;
}  // namespace processors

namespace ui_thread {
// True on the thread of the Qt application object.
bool is_current() noexcept;
// Whether an application object exists to run posted work.
bool available() noexcept;
// Queues the work for the UI thread's event loop; false when there is no application object
// (or it is being destroyed). Work that was queued runs: in the loop, or in finish_pending_work.
bool post(std::function<void()> work) noexcept;
// UI thread, once its event loop has ended: runs the posted work, and whatever it leads to, until
// neither this thread nor the pool has any left. Meanwhile finishing() is true.
void finish_pending_work();
// While it is true the program is ending: long work stops early and no dialog opens.
bool finishing() noexcept;
}  // namespace ui_thread

}  // namespace foundation
