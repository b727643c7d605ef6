#include "platform/xaml/core/dependency.h"
#include "platform/xaml/controls/Grid.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <limits>

using namespace xaml;
using foundation::box_value;
using foundation::unbox_value;

namespace {

struct change {
    std::int32_t before;
    std::int32_t after;
};

std::vector<change>& handler_log()
{
    static std::vector<change> log;
    return log;
}

const DependencyProperty& CountProperty()
{
    static const auto p = DependencyProperty::Register(
        u"Count", {u"Int32"}, {u"Test.Counter", TypeKind::Metadata},
        PropertyMetadata(box_value(std::int32_t{-1}), [](const auto&, const DependencyPropertyChangedEventArgs& args) {
            handler_log().push_back({unbox_value<std::int32_t>(args.OldValue()), unbox_value<std::int32_t>(args.NewValue())});
        }));
    return p;
}

class Counter : public DependencyObject {
public:
    hstring GetRuntimeClassName() const override { return u"Test.Counter"; }
};

}  // namespace

TEST(DependencyProperty, ChangesNotifyOnlyWhenTheValueDiffers)
{
    handler_log().clear();
    auto counter = foundation::make<Counter>();
    int callbacks = 0;
    const auto token = counter->RegisterPropertyChangedCallback(CountProperty(), [&](const auto& sender, const DependencyProperty& p) {
        ++callbacks;
        EXPECT_EQ(sender, counter);
        EXPECT_TRUE(p == CountProperty());
        // The value is already stored when the callback runs.
        EXPECT_EQ(unbox_value<std::int32_t>(sender->GetValue(p)), 3);
    });
    EXPECT_EQ(unbox_value<std::int32_t>(counter->GetValue(CountProperty())), -1);
    counter->SetValue(CountProperty(), box_value(std::int32_t{3}));
    counter->SetValue(CountProperty(), box_value(std::int32_t{3}));
    EXPECT_EQ(callbacks, 1);
    ASSERT_EQ(handler_log().size(), 1u);
    EXPECT_EQ(handler_log()[0].before, -1);
    EXPECT_EQ(handler_log()[0].after, 3);

    counter->UnregisterPropertyChangedCallback(CountProperty(), token);
    counter->ClearValue(CountProperty());
    EXPECT_EQ(callbacks, 1);
    ASSERT_EQ(handler_log().size(), 2u) << "clearing back to the default is a change";
    EXPECT_EQ(handler_log()[1].after, -1);
}

TEST(DependencyProperty, NotSetIsNoChangeFromNotSet)
{
    // An unset size is NaN, which equals nothing, not even itself.
    auto grid = foundation::make<Grid>();
    int callbacks = 0;
    grid->RegisterPropertyChangedCallback(FrameworkElement::WidthProperty(), [&](const auto&, const auto&) { ++callbacks; });
    grid->Width(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(callbacks, 0);
    grid->Width(10);
    grid->Width(10);
    EXPECT_EQ(callbacks, 1);
}

TEST(DependencyProperty, ANameRegisteredTwiceOnOneOwnerIsRefused)
{
    // Owners of this run's own: the names earlier runs in the process registered stay taken.
    static int run = 0;
    const hstring suffix = foundation::to_hstring(++run);
    const TypeName owner{u"Test.Twice" + suffix, TypeKind::Metadata};
    const auto first = DependencyProperty::Register(u"Size", {u"Int32"}, owner, PropertyMetadata(box_value(1)));
    EXPECT_THROW(DependencyProperty::Register(u"Size", {u"Double"}, owner, PropertyMetadata(box_value(2.0))),
                 foundation::hresult_invalid_argument);
    EXPECT_THROW(DependencyProperty::RegisterAttached(u"Size", {u"Int32"}, owner, PropertyMetadata(box_value(3))),
                 foundation::hresult_invalid_argument);
    const auto elsewhere =
        DependencyProperty::Register(u"Size", {u"Int32"}, {u"Test.Other" + suffix, TypeKind::Metadata}, PropertyMetadata(box_value(4)));
    EXPECT_FALSE(first == elsewhere) << "another owner may use the same name";
}

TEST(DependencyProperty, ChangesFromAnotherThreadAreRefused)
{
    auto counter = foundation::make<Counter>();
    bool refused = false;
    std::thread([&] {
        try {
            counter->SetValue(CountProperty(), box_value(std::int32_t{1}));
        } catch (const foundation::hresult_wrong_thread&) {
            refused = true;
        }
    }).join();
    EXPECT_TRUE(refused);
}
