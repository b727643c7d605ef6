#include "platform/shell/win32.h"

namespace shell {

namespace {

thread_local DWORD last_error = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() noexcept { return last_error; }
void SetLastError(DWORD error) noexcept { last_error = error; }

}  // namespace shell
