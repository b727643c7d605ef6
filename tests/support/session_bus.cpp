#include "tests/support/session_bus.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace test {

session_bus start_private_session_bus()
{
    // The daemon lives on after the process that starts it and must hold none of its files open:
    // a death test's child would keep its parent waiting for the end of the status pipe.
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::atoi(entry.path().filename().c_str());
        if (fd > 2) fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
    std::FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (!out) {
        ADD_FAILURE() << "cannot start dbus-daemon";
        return {};
    }
    char address[512] = {}, pid[32] = {};
    const bool read = std::fgets(address, sizeof address, out) && std::fgets(pid, sizeof pid, out);
    pclose(out);
    if (!read) {
        ADD_FAILURE() << "dbus-daemon (Debian package dbus) is needed";
        return {};
    }
    session_bus bus{address, std::atoi(pid)};
    bus.address.erase(bus.address.find_last_not_of('\n') + 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.address.c_str(), 1);
    return bus;
}

void stop(const session_bus& bus)
{
    if (bus.pid > 0) kill(bus.pid, SIGTERM);
}

}  // namespace test
