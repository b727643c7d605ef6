#pragma once
// Dispatcher queues: a thread's queue of work, run by that thread's event loop.

#include "platform/foundation/async.h"
#include "platform/foundation/error.h"
#include "platform/foundation/object.h"

#include <cstdint>
#include <functional>
#include <mutex>

namespace xaml {

using foundation::hstring;
using DispatcherQueueHandler = std::function<void()>;

class DispatcherQueue final : public foundation::Object {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Dispatching.DispatcherQueue"; }

    // The queue of the calling thread: the UI thread has one once the application runs; other
    // threads have one only while a controller made for them lives.
    static std::shared_ptr<DispatcherQueue> GetForCurrentThread();

    // Queues the work; false once the queue is shut down or its thread has no event loop.
    bool TryEnqueue(DispatcherQueueHandler handler);
    bool HasThreadAccess() const;

    bool is_shut_down() const;

private:
    friend class DispatcherQueueController;
    mutable std::mutex m_mutex;
    bool m_shutDown = false;
};

class DispatcherQueueController final : public foundation::Object {
public:
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Dispatching.DispatcherQueueController"; }
    DispatcherQueueController();
    ~DispatcherQueueController() override;

    const std::shared_ptr<xaml::DispatcherQueue>& DispatcherQueue() const noexcept { return m_queue; }
    // Stops the queue taking work; completes once the work queued before has run.
    foundation::IAsyncAction ShutdownQueueAsync();

private:
    std::shared_ptr<xaml::DispatcherQueue> m_queue;
};

// Win32 creation of a controller for the current thread.
enum DISPATCHERQUEUE_THREAD_TYPE { DQTYPE_THREAD_DEDICATED = 1, DQTYPE_THREAD_CURRENT = 2 };
enum DISPATCHERQUEUE_THREAD_APARTMENTTYPE { DQTAT_COM_NONE = 0, DQTAT_COM_ASTA = 1, DQTAT_COM_STA = 2 };
struct DispatcherQueueOptions {
    std::uint32_t dwSize;
    DISPATCHERQUEUE_THREAD_TYPE threadType;
    DISPATCHERQUEUE_THREAD_APARTMENTTYPE apartmentType;
};
// Only the current thread's kind is supported here; a thread that already has a queue fails
// with RPC_E_WRONG_THREAD's sibling "already exists" (0x80070050's meaning: ERROR_FILE_EXISTS).
foundation::hresult CreateDispatcherQueueController(DispatcherQueueOptions options,
                                                    std::shared_ptr<DispatcherQueueController>* controller);

// Makes the UI thread's own queue; Application::Start calls it.
void create_ui_thread_queue();
// Test hook: the UI thread has no queue again, as before Start.
void forget_ui_thread_queue_for_tests();

}  // namespace xaml
