#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/VisualStateManager.h"

#include "tests/support/event_loop.h"
#include "tests/xaml/shown_root.h"

#include <gtest/gtest.h>

using namespace xaml;
using foundation::box_value;
using foundation::make;

TEST(VisualStates, GoingToAStateAppliesItsSettersAndUndoesThePreviousOnes)
{
    auto page = make<Page>();
    auto root = make<StackPanel>();
    auto button = make<Button>();
    button->Name(u"goButton");
    button->Width(120);
    root->Children()->Append(button);
    page->Content(root);

    auto busy = make<VisualState>();
    busy->Name = u"InProgress";
    busy->Setters.push_back(make<Setter>(u"goButton", u"", u"IsEnabled", box_value(u"False"), true));
    busy->Setters.push_back(make<Setter>(u"goButton", u"", u"Width", box_value(200.0), false));
    auto idle = make<VisualState>();
    idle->Name = u"Normal";
    auto group = make<VisualStateGroup>();
    group->States = {idle, busy};
    VisualStateManager::GetVisualStateGroups(root).push_back(group);

    EXPECT_TRUE(VisualStateManager::GoToState(page, u"InProgress", false));
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_EQ(button->Width(), 200.0);
    EXPECT_EQ(group->CurrentState(), busy);

    EXPECT_TRUE(VisualStateManager::GoToState(page, u"Normal", false));
    EXPECT_TRUE(button->IsEnabled()) << "a property without a local value returns to its default";
    EXPECT_EQ(button->Width(), 120.0) << "a local value set before the state comes back";
    EXPECT_FALSE(VisualStateManager::GoToState(page, u"Missing", false));
}

TEST(VisualStates, AdaptiveTriggersFollowTheWindowsWidth)
{
    auto root = make<StackPanel>();
    auto button = make<Button>();
    button->Name(u"goButton");
    button->Width(120);
    root->Children()->Append(button);
    auto from = [](double width) {
        auto trigger = make<AdaptiveTrigger>();
        trigger->MinWindowWidth = width;
        return trigger;
    };
    auto wide = make<VisualState>();
    wide->Name = u"Wide";
    wide->StateTriggers = {from(720)};
    auto narrow = make<VisualState>();
    narrow->Name = u"Narrow";
    narrow->StateTriggers = {from(0)};
    narrow->Setters.push_back(make<Setter>(u"goButton", u"", u"Width", box_value(200.0), false));
    auto group = make<VisualStateGroup>();
    group->States = {narrow, wide};
    VisualStateManager::GetVisualStateGroups(root).push_back(group);
    VisualStateManager::follow_triggers(root);

    auto shown = test::show(root, 1000, 600);
    EXPECT_TRUE(test::run_until([&] { return group->CurrentState() == wide; })) << "the widest active trigger wins";
    EXPECT_EQ(button->Width(), 120.0);
    shown->host_widget()->resize(640, 600);
    EXPECT_TRUE(test::run_until([&] { return group->CurrentState() == narrow; }));
    EXPECT_EQ(button->Width(), 200.0);
    shown->host_widget()->resize(1000, 600);
    EXPECT_TRUE(test::run_until([&] { return group->CurrentState() == wide; }));
    EXPECT_EQ(button->Width(), 120.0) << "the narrow state's setters are undone";
}
