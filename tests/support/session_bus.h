#pragma once
// A private D-Bus session bus for a test program, so that what the program asks of desktop
// services (the file manager) reaches a test service and never the user's desktop.

#include <string>

namespace test {

struct session_bus {
    std::string address;
    int pid = 0;
};

// Starts a bus daemon and makes it the process's session bus. Call it before anything in the
// process uses the session bus; fails the test (address empty) without dbus-daemon.
session_bus start_private_session_bus();
void stop(const session_bus& bus);

}  // namespace test
