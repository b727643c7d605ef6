#include "platform/foundation/threading.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace foundation::ui_thread {

bool is_current() noexcept
{
    const auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool available() noexcept { return QCoreApplication::instance() != nullptr; }

bool post(std::function<void()> work) noexcept
{
    auto* app = QCoreApplication::instance();
    if (!app) return false;
    try {
        return QMetaObject::invokeMethod(app, [work = std::move(work)]() noexcept { work(); }, Qt::QueuedConnection);
    } catch (...) {
        return false;
    }
}

}  // namespace foundation::ui_thread
