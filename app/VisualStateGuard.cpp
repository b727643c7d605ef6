#include "app/VisualStateGuard.h"

#include "platform/foundation/threading.h"
#include "platform/xaml/controls/VisualStateManager.h"

namespace Zintrel {

VisualStateGuard::~VisualStateGuard()
{
    if (!m_armed) return;
    auto restore = [page = m_page] {
        try {
            if (auto control = page.lock()) xaml::VisualStateManager::GoToState(control, u"Normal", false);
        } catch (...) {
            // Nothing may leave a destructor; the page keeps the state it has.
        }
    };
    // Pages belong to the UI thread. A guard that ends elsewhere (an operation that fails on
    // the pool) hands the change over; when nothing can take it, the page is left as it is
    // rather than touched from a thread it does not belong to.
    if (foundation::ui_thread::is_current() || (!foundation::ui_thread::available() && !foundation::thread_pool::is_pool_thread())) {
        restore();
        return;
    }
    foundation::ui_thread::post(restore);
}

}  // namespace Zintrel
