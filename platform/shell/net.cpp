#include "platform/shell/net.h"

namespace shell {
namespace {
// Taken before the POSIX header turns these names into macros.
constexpr INT win32_af_inet = AF_INET;
constexpr INT win32_af_inet6 = AF_INET6;
}  // namespace
}  // namespace shell

#include <arpa/inet.h>
#include <sys/socket.h>

namespace shell {

INT inet_pton(INT Family, LPCSTR pszAddrString, PVOID pAddrBuf)
{
    switch (Family) {
    case win32_af_inet: return ::inet_pton(AF_INET, pszAddrString, pAddrBuf);
    case win32_af_inet6: return ::inet_pton(AF_INET6, pszAddrString, pAddrBuf);
    default: SetLastError(EAFNOSUPPORT); return -1;
    }
}

}  // namespace shell
