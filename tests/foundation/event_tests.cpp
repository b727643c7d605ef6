#include "platform/foundation/event.h"
#include "platform/foundation/notify.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace foundation;

namespace {

using handler = delegate<int>;

class Listener : public Object {
public:
    hstring GetRuntimeClassName() const override { return u"Test.Listener"; }
    void OnValue(int value) { total += value; }
    int total = 0;
};

}  // namespace

TEST(Event, HandlersRemovedByTokenAreNotCalled)
{
    event<handler> changed;
    std::vector<int> calls;
    const auto first = changed.add([&](int v) { calls.push_back(v); });
    changed.add([&](int v) { calls.push_back(v * 10); });
    changed(1);
    changed.remove(first);
    changed(2);
    EXPECT_EQ(calls, (std::vector<int>{1, 10, 20}));
}

TEST(Event, RevokerRemovesOnDestructionAndOutlivesTheEvent)
{
    int calls = 0;
    auto changed = std::make_unique<event<handler>>();
    {
        auto revoker = changed->add_revoker([&](int) { ++calls; });
        (*changed)(1);
    }
    (*changed)(2);
    EXPECT_EQ(calls, 1);

    auto late = changed->add_revoker([&](int) { ++calls; });
    auto moved = std::move(late);
    EXPECT_FALSE(late);
    changed.reset();
    moved.revoke();  // the event is gone: nothing to do, and no crash
    EXPECT_FALSE(moved);
}

TEST(Event, WeakDelegateDoesNothingOnceItsTargetIsGone)
{
    event<handler> changed;
    auto listener = make<Listener>();
    changed.add(handler(std::weak_ptr<Listener>(listener), &Listener::OnValue));
    changed(5);
    EXPECT_EQ(listener->total, 5);
    std::weak_ptr<Listener> weak = listener;
    listener.reset();
    EXPECT_TRUE(weak.expired()) << "the delegate must not keep its target alive";
    EXPECT_NO_THROW(changed(5));
}

// A raise calls the handlers there were when it started: one removed or added meanwhile counts
// from the next raise on.
TEST(Event, HandlersRemovedOrAddedWhileTheEventRunsCountFromTheNextRaise)
{
    event<handler> changed;
    std::vector<int> calls;
    event_token self;
    self = changed.add([&](int v) {
        calls.push_back(v);
        changed.remove(self);
        changed.add([&](int v) { calls.push_back(v * 100); });
    });
    changed.add([&](int v) { calls.push_back(v * 10); });
    changed(1);
    changed(2);
    EXPECT_EQ(calls, (std::vector<int>{1, 10, 20, 200}));
}

TEST(Event, AThrowingHandlerDoesNotStopTheOthersAndItsExceptionComesOutAfterThem)
{
    event<handler> changed;
    std::vector<int> calls;
    changed.add([&](int v) {
        calls.push_back(v);
        throw std::runtime_error("first");
    });
    changed.add([&](int) { throw std::logic_error("second"); });
    changed.add([&](int v) { calls.push_back(v * 10); });
    try {
        changed(1);
        ADD_FAILURE() << "the handler's exception was lost";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "first");
    }
    EXPECT_EQ(calls, (std::vector<int>{1, 10}));
}

TEST(Event, PropertyChangedCarriesTheName)
{
    event<PropertyChangedEventHandler> changed;
    hstring seen = u"unset";
    changed.add([&](const IInspectable&, const PropertyChangedEventArgs& args) { seen = args.PropertyName(); });
    changed(IInspectable{}, PropertyChangedEventArgs(u"Checked"));
    EXPECT_EQ(seen, u"Checked");
}
