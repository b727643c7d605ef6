#pragma once
// Runs the Qt event loop until a condition holds or a bounded wait ends.

#include "platform/foundation/async.h"
#include "platform/foundation/hstring.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <ostream>

namespace test {

bool run_until(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

// Awaits an operation from the UI thread by running the loop until it has ended; its results.
template <class Operation>
auto wait_for(const Operation& operation, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    EXPECT_TRUE(run_until([&] { return operation.Status() != foundation::AsyncStatus::Started; }, limit));
    return operation.GetResults();
}

}  // namespace test

namespace foundation {
inline void PrintTo(const hstring& text, std::ostream* out) { *out << '"' << to_narrow(text) << '"'; }
}  // namespace foundation
