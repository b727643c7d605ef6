#pragma once
// Handlers run from Qt's event loop must not let an exception into Qt: Qt is not written to be
// unwound through. A failing handler is reported on stderr and the event goes on as handled.

#include <utility>

namespace xaml {

// Reports the exception being handled; call only inside a catch block.
void report_handler_failure() noexcept;

template <class F>
void guard(F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        report_handler_failure();
    }
}

}  // namespace xaml
