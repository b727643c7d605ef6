#include "platform/foundation/async.h"

#include "platform/foundation/hstring.h"

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

namespace foundation {

void fail_fast(std::exception_ptr error) noexcept
{
    std::string what = "unknown exception";
    hresult code = E_FAIL;
    try {
        if (error) std::rethrow_exception(error);
    } catch (const hresult_error& e) {
        what = e.what();
        code = e.code();
    } catch (const std::exception& e) {
        what = e.what();
        code = to_hresult();
    } catch (...) {
    }
    std::fprintf(stderr, "zintrel: fail-fast: unhandled exception in a fire-and-forget coroutine: %s (0x%08x)\n",
                 what.c_str(), static_cast<unsigned>(code));
    std::fflush(stderr);
    std::abort();
}

namespace detail {

void throw_switch_failed(bool to_ui)
{
    if (to_ui) throw hresult_error(static_cast<hresult>(0x80010108), u"The UI thread no longer runs its event loop");
    throw hresult_error(E_OUTOFMEMORY, u"The thread pool could not take the work");
}

void report_lost_continuation() noexcept
{
    std::fprintf(stderr, "zintrel: an awaiting coroutine could not be resumed: its thread is gone\n");
}

}  // namespace detail
}  // namespace foundation
