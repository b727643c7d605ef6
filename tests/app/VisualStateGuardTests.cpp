#include "app/VisualStateGuard.h"

#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/VisualStateManager.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

using namespace Zintrel;
using foundation::box_value;
using foundation::make;

namespace {

// A page whose "InProgress" state disables its button and whose "Normal" state is its idle look.
struct busy_page {
    std::shared_ptr<xaml::Page> page = make<xaml::Page>();
    std::shared_ptr<xaml::Button> button = make<xaml::Button>();
    std::shared_ptr<xaml::VisualState> normal = make<xaml::VisualState>();

    busy_page()
    {
        auto content = make<xaml::StackPanel>();
        button->Name(u"goButton");
        content->Children()->Append(button);
        page->Content(content);
        auto busy = make<xaml::VisualState>();
        busy->Name = u"InProgress";
        busy->Setters.push_back(make<xaml::Setter>(u"goButton", u"", u"IsEnabled", box_value(false), false));
        normal->Name = u"Normal";
        auto group = make<xaml::VisualStateGroup>();
        group->States = {normal, busy};
        xaml::VisualStateManager::GetVisualStateGroups(content).push_back(group);
        xaml::VisualStateManager::GoToState(page, u"Normal", false);
    }

    void start() { xaml::VisualStateManager::GoToState(page, u"InProgress", false); }
    bool idle() const { return button->IsEnabled(); }
};

}  // namespace

TEST(VisualStateGuard, ReturnsThePageToNormalOnAnExceptionAndOnAnEarlyReturn)
{
    busy_page p;
    try {
        p.start();
        VisualStateGuard guard(p.page);
        ASSERT_FALSE(p.idle());
        throw std::runtime_error("the operation failed");
    } catch (const std::runtime_error&) {
        EXPECT_TRUE(p.idle()) << "the page is back in Normal as the exception leaves the scope";
    }

    auto operation = [&](bool stopEarly) {
        p.start();
        VisualStateGuard guard(p.page);
        if (stopEarly) return;
        ADD_FAILURE() << "not reached";
    };
    operation(true);
    EXPECT_TRUE(p.idle());
}

TEST(VisualStateGuard, ADisarmedGuardChangesNothing)
{
    busy_page p;
    p.start();
    std::optional<VisualStateGuard> first(std::in_place, p.page);
    {
        VisualStateGuard second(std::move(*first));
    }
    EXPECT_TRUE(p.idle()) << "the guard it was moved to restores the page";
    p.start();
    first.reset();
    EXPECT_FALSE(p.idle()) << "the moved-from guard is disarmed";
}

TEST(VisualStateGuard, AFailingStateChangeDoesNotLeaveTheDestructor)
{
    busy_page p;
    p.start();
    // "Normal" now names an element the page does not have: going there fails.
    p.normal->Setters.push_back(make<xaml::Setter>(u"missing", u"", u"IsEnabled", box_value(true), false));
    EXPECT_NO_THROW({ VisualStateGuard guard(p.page); });

    std::weak_ptr<xaml::Page> gone;
    {
        busy_page other;
        gone = other.page;
        std::optional<VisualStateGuard> late(std::in_place, other.page);
        other.page.reset();
        other.button.reset();
        EXPECT_NO_THROW(late.reset()) << "a page that is gone is left alone";
    }
    EXPECT_TRUE(gone.expired()) << "the guard does not keep its page alive";
}

TEST(VisualStateGuard, AGuardThatEndsOnAnotherThreadStillReturnsThePageToNormal)
{
    busy_page p;
    p.start();
    std::thread([guard = VisualStateGuard(p.page)] {}).join();
    EXPECT_TRUE(test::run_until([&] { return p.idle(); })) << "the change is made on the UI thread";
}
