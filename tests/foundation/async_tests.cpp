#include "platform/foundation/async.h"

#include "tests/support/event_loop.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <mutex>
#include <thread>
#include <vector>

using namespace foundation;

namespace {

struct thread_log {
    std::atomic<bool> done = false;
    bool started_on_ui = false;
    bool background_on_pool = false;
    bool background_on_ui = true;
    bool returned_to_ui = false;
    std::thread::id ui_id;
    std::thread::id back_id;
};

fire_and_forget ui_to_pool_and_back(thread_log& log)
{
    log.started_on_ui = ui_thread::is_current();
    apartment_context ui;
    co_await resume_background();
    log.background_on_pool = thread_pool::is_pool_thread();
    log.background_on_ui = ui_thread::is_current();
    co_await ui;
    log.returned_to_ui = ui_thread::is_current();
    log.back_id = std::this_thread::get_id();
    log.done = true;
}

// Completes the operation from a thread of its own, as a platform callback would.
void complete_elsewhere(const async_source<int>& source, int value)
{
    std::thread([source, value] { source.complete(value); }).join();
}

// An operation another thread completes, before or after its caller awaits it.
IAsyncOperation<int> completed_elsewhere(int value)
{
    async_source<int> source;
    std::thread([source, value] { source.complete(value); }).detach();
    return source.operation();
}

IAsyncOperation<int> doubled_on_pool(int value)
{
    co_await resume_background();
    co_return 2 * co_await completed_elsewhere(value);
}

IAsyncAction failing_action()
{
    co_await resume_background();
    throw hresult_invalid_argument(u"bad input");
}

}  // namespace

TEST(Async, CoroutineMovesToThePoolAndBackToTheUiThread)
{
    thread_log log;
    log.ui_id = std::this_thread::get_id();
    ui_to_pool_and_back(log);
    ASSERT_TRUE(test::run_until([&] { return log.done.load(); }));
    EXPECT_TRUE(log.started_on_ui);
    EXPECT_TRUE(log.background_on_pool);
    EXPECT_FALSE(log.background_on_ui);
    EXPECT_TRUE(log.returned_to_ui);
    EXPECT_EQ(log.back_id, log.ui_id);
}

struct await_log {
    async_source<int> pending;  // completed by the test once the coroutine awaits it
    std::atomic<bool> awaiting = false;
    std::atomic<bool> done = false;
    std::atomic<bool> on_ui = false;
    std::atomic<bool> on_pool = false;
    int result = 0;
    hresult caught = S_OK;
};

// Coroutine lambdas must not capture: their closure dies at the first suspension.
fire_and_forget await_on_ui(await_log& log)
{
    log.result = co_await log.pending.operation();
    log.on_ui = ui_thread::is_current();
    log.done = true;
}

fire_and_forget await_on_pool(await_log& log)
{
    co_await resume_background();
    log.awaiting = true;
    log.result = co_await log.pending.operation();
    log.on_pool = thread_pool::is_pool_thread();
    log.done = true;
}

fire_and_forget await_results_and_failures(await_log& log)
{
    log.result = co_await doubled_on_pool(8);
    try {
        co_await failing_action();
    } catch (const hresult_error& e) {
        log.caught = e.code();
    }
    log.done = true;
}

TEST(Async, OperationCompletedOnAnotherThreadResumesTheUiCoroutineOnTheUiThread)
{
    await_log log;
    await_on_ui(log);
    ASSERT_FALSE(log.done) << "the coroutine waits for the operation";
    complete_elsewhere(log.pending, 21);
    ASSERT_TRUE(test::run_until([&] { return log.done.load(); }));
    EXPECT_EQ(log.result, 21);
    EXPECT_TRUE(log.on_ui);
}

TEST(Async, AwaitingOnThePoolResumesOnThePool)
{
    await_log log;
    await_on_pool(log);
    ASSERT_TRUE(test::run_until([&] { return log.awaiting.load(); }));
    complete_elsewhere(log.pending, 4);
    ASSERT_TRUE(test::run_until([&] { return log.done.load(); }));
    EXPECT_EQ(log.result, 4);
    EXPECT_TRUE(log.on_pool);
}

TEST(Async, ResultsAndFailuresReachTheAwaiter)
{
    await_log log;
    await_results_and_failures(log);
    ASSERT_TRUE(test::run_until([&] { return log.done.load(); }));
    EXPECT_EQ(log.result, 16);
    EXPECT_EQ(log.caught, E_INVALIDARG);
}

TEST(Async, BlockingWaitWorksOffTheUiThreadOnly)
{
    async_source<int> never;
    EXPECT_THROW(never.operation().get(), hresult_wrong_thread);
    EXPECT_EQ(never.operation().Status(), AsyncStatus::Started);
    int value = 0;
    std::thread([&] { value = completed_elsewhere(3).get(); }).join();
    EXPECT_EQ(value, 3);
}

TEST(Async, CompletedHandlerRunsOnceTheOperationEnds)
{
    async_source<void> source;
    std::atomic<int> calls = 0;
    AsyncStatus seen = AsyncStatus::Started;
    source.operation().Completed([&](const IAsyncAction&, AsyncStatus status) {
        seen = status;
        ++calls;
    });
    EXPECT_EQ(calls, 0);
    source.cancel();
    source.complete();  // a second completion is ignored
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, AsyncStatus::Canceled);
    EXPECT_THROW(source.operation().GetResults(), hresult_canceled);
}

namespace {

// A coroutine whose frame outlives it, filled with a pattern when it ends: a write into a frame
// after its coroutine has ended (the awaiter that handed it to another thread writing its own
// members) changes the pattern. Sanitizers see the same write as a use after free.
struct kept_frame_coroutine {
    struct promise_type {
        static void* operator new(std::size_t size) { return std::malloc(size); }
        static void operator delete(void* frame, std::size_t size)
        {
            std::memset(frame, pattern, size);
            std::lock_guard lock(mutex);
            ended.emplace_back(static_cast<unsigned char*>(frame), size);
        }
        kept_frame_coroutine get_return_object() const noexcept { return {}; }
        std::suspend_never initial_suspend() const noexcept { return {}; }
        std::suspend_never final_suspend() const noexcept { return {}; }
        void return_void() const noexcept {}
        void unhandled_exception() const noexcept { std::terminate(); }
    };

    static constexpr unsigned char pattern = 0xA5;
    static inline std::mutex mutex;
    static inline std::vector<std::pair<unsigned char*, std::size_t>> ended;

    // Frames written to after their end; frees them all.
    static std::size_t written_after_end()
    {
        std::lock_guard lock(mutex);
        std::size_t written = 0;
        for (auto [frame, size] : ended) {
            for (std::size_t i = 0; i < size; ++i) {
                if (frame[i] != pattern) {
                    ++written;
                    break;
                }
            }
            std::free(frame);
        }
        ended.clear();
        return written;
    }
};

// GCC takes the promise's own operator delete for a mismatch with its own operator new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Ends on the pool as soon as it gets there.
kept_frame_coroutine to_the_pool(std::atomic<int>& ended)
{
    co_await resume_background();
    ++ended;
}

// Ends on the UI thread as soon as it gets there.
kept_frame_coroutine from_the_pool_to_the_ui(std::atomic<int>& ended)
{
    apartment_context ui;
    co_await resume_background();
    co_await ui;
    ++ended;
}

}  // namespace

TEST(Async, ACoroutineThatEndsRightAfterItChangedThreadIsNotWrittenToAfterwards)
{
    // Many at once from several threads, so that the other thread often ends a coroutine before
    // the one that handed it over has returned from the hand-over.
    constexpr int per_thread = 2000, threads = 4;
    std::atomic<int> ended = 0;
    std::vector<std::thread> starters;
    for (int t = 0; t < threads; ++t)
        starters.emplace_back([&] {
            for (int i = 0; i < per_thread; ++i) to_the_pool(ended);
        });
    for (auto& starter : starters) starter.join();
    for (int i = 0; i < per_thread; ++i) from_the_pool_to_the_ui(ended);
    ASSERT_TRUE(test::run_until([&] { return ended == (threads + 1) * per_thread; }, std::chrono::seconds(60)));
    EXPECT_TRUE(test::run_until([&] { return thread_pool::idle(); }));
    EXPECT_EQ(kept_frame_coroutine::written_after_end(), 0u);
}

TEST(ThreadPool, GrowsSoThatWorkWaitingOnOtherWorkFinishes)
{
    // More waiting items than cores: a fixed-size pool would deadlock here.
    const unsigned count = 4 * std::max(2u, std::thread::hardware_concurrency());
    std::latch all_started(count);
    std::atomic<unsigned> finished = 0;
    for (unsigned i = 0; i < count; ++i) {
        ASSERT_TRUE(thread_pool::submit([&] {
            all_started.count_down();
            all_started.wait();
            ++finished;
        }));
    }
    EXPECT_TRUE(test::run_until([&] { return finished.load() == count; }, std::chrono::seconds(20)));
}

TEST(AsyncDeathTest, ExceptionEscapingFireAndForgetEndsTheProcess)
{
    EXPECT_DEATH(
        []() -> fire_and_forget {
            throw hresult_invalid_argument(u"escaped");
            co_return;
        }(),
        "fail-fast.*escaped");
}
