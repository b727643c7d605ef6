#pragma once
// A private D-Bus session bus for a test program, so that what the program asks of desktop
// services (the file manager) reaches a test service and never the user's desktop.

#include <gtest/gtest.h>

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

// A private session bus for the whole test program, once however often its tests repeat:
// `::testing::AddGlobalTestEnvironment(new test::private_session_bus)`.
class private_session_bus final : public ::testing::Environment {
public:
    void SetUp() override
    {
        s_bus = start_private_session_bus();
        ASSERT_FALSE(s_bus.address.empty());
    }
    void TearDown() override { stop(s_bus); }
    static inline session_bus s_bus;
};

}  // namespace test
