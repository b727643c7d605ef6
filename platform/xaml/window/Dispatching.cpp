#include "platform/xaml/window/Dispatching.h"

#include "platform/foundation/threading.h"
#include "platform/xaml/core/guard.h"

namespace xaml {

namespace {

thread_local std::weak_ptr<DispatcherQueue> current_queue;
std::shared_ptr<DispatcherQueue> ui_queue;  // lives as long as the process

}  // namespace

std::shared_ptr<DispatcherQueue> DispatcherQueue::GetForCurrentThread()
{
    if (auto queue = current_queue.lock()) return queue;
    if (foundation::ui_thread::is_current() && ui_queue) return ui_queue;  // only the UI thread reads it
    return nullptr;
}

bool DispatcherQueue::TryEnqueue(DispatcherQueueHandler handler)
{
    if (!handler) return false;
    // Posting under the lock orders every accepted item before the shut-down's completion.
    std::lock_guard lock(m_mutex);
    if (m_shutDown) return false;
    return foundation::ui_thread::post([handler = std::move(handler)] { guard(handler); });
}

bool DispatcherQueue::is_shut_down() const
{
    std::lock_guard lock(m_mutex);
    return m_shutDown;
}

bool DispatcherQueue::HasThreadAccess() const { return foundation::ui_thread::is_current(); }

DispatcherQueueController::DispatcherQueueController() : m_queue(foundation::make<xaml::DispatcherQueue>()) {}

DispatcherQueueController::~DispatcherQueueController()
{
    if (current_queue.lock() == m_queue) current_queue.reset();
}

foundation::IAsyncAction DispatcherQueueController::ShutdownQueueAsync()
{
    foundation::async_source<void> done;
    auto queue = m_queue;
    // The queue takes nothing from now on; what it took runs first, the completion after it.
    bool posted = false;
    {
        std::lock_guard lock(queue->m_mutex);
        queue->m_shutDown = true;
        posted = foundation::ui_thread::post([queue, done] {
            if (current_queue.lock() == queue) current_queue.reset();
            done.complete();
        });
    }
    if (!posted) done.complete();
    return done.operation();
}

foundation::hresult CreateDispatcherQueueController(DispatcherQueueOptions options,
                                                    std::shared_ptr<DispatcherQueueController>* controller)
{
    if (!controller) return foundation::E_POINTER;
    *controller = nullptr;
    if (options.dwSize != sizeof(DispatcherQueueOptions) || options.threadType != DQTYPE_THREAD_CURRENT)
        return foundation::E_INVALIDARG;
    if (DispatcherQueue::GetForCurrentThread()) return foundation::hresult_from_errno(EEXIST);
    *controller = foundation::make<DispatcherQueueController>();
    current_queue = (*controller)->DispatcherQueue();
    return foundation::S_OK;
}

void create_ui_thread_queue()
{
    if (!ui_queue) ui_queue = foundation::make<DispatcherQueue>();
}

void forget_ui_thread_queue_for_tests() { ui_queue.reset(); }

}  // namespace xaml
