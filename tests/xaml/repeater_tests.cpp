#include "markup_test_page.h"

#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/core/qt_bridge.h"

#include "tests/support/event_loop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>

using namespace markup_test;

namespace {

using entry_vector = foundation::IObservableVector<std::shared_ptr<TestEntry>>;

std::shared_ptr<TestEntry> entry(const char16_t* name) { return make<TestEntry>(name); }

QString shown_text(const std::shared_ptr<UIElement>& element) { return as<ButtonBase>(element)->button()->text(); }

// Every entry has one element, in order, showing the entry and holding it as its data context.
void expect_items_match(const std::shared_ptr<ItemsRepeater>& list, const std::shared_ptr<entry_vector>& source)
{
    ASSERT_EQ(list->visual_children().size(), source->Size());
    for (std::uint32_t i = 0; i < source->Size(); ++i) {
        const auto element = list->TryGetElement(static_cast<std::int32_t>(i));
        ASSERT_TRUE(element) << "item " << i;
        EXPECT_EQ(list->visual_children()[i], element) << "item " << i;
        EXPECT_EQ(as<FrameworkElement>(element)->DataContext(), source->GetAt(i)) << "item " << i;
        EXPECT_EQ(shown_text(element), to_qstring(source->GetAt(i)->Name())) << "item " << i;
    }
    EXPECT_FALSE(list->TryGetElement(static_cast<std::int32_t>(source->Size())));
}

std::size_t connections_of(const MarkupTestPage& page, std::int32_t id)
{
    return static_cast<std::size_t>(std::count_if(page.connections.begin(), page.connections.end(),
                                                  [id](const auto& c) { return c.first == id; }));
}

// Counts what a tracking base passes on.
struct counting_listener final : IXamlBindingTracking {
    int properties = 0;
    int dependencyProperties = 0;
    void PropertyChanged(const IInspectable&, const foundation::PropertyChangedEventArgs&) override { ++properties; }
    void DependencyPropertyChanged(const std::shared_ptr<DependencyObject>&, const DependencyProperty&) override
    {
        ++dependencyProperties;
    }
};

}  // namespace

TEST(ItemsRepeater, MakesOneItemPerEntryAndFollowsTheVector)
{
    auto page = load_test_page();
    auto root = test::show(page, 560, 640);
    const auto a = entry(u"XXH64"), b = entry(u"XXH3"), c = entry(u"XXH128"), d = entry(u"MD5"), e = entry(u"SHA1");
    auto source = foundation::single_threaded_observable_vector<std::shared_ptr<TestEntry>>({a, b});
    const auto& list = page->algorithmList;

    list->ItemsSource(source);
    expect_items_match(list, source);
    const auto first = list->TryGetElement(0);

    source->Append(c);
    expect_items_match(list, source);
    source->InsertAt(1, d);
    expect_items_match(list, source);
    EXPECT_EQ(list->TryGetElement(0), first) << "an unchanged item keeps its element";
    source->RemoveAt(0);
    expect_items_match(list, source);
    source->SetAt(0, e);
    expect_items_match(list, source);

    const auto keptB = list->TryGetElement(1);
    source->ReplaceAll({b, a});
    expect_items_match(list, source);
    EXPECT_EQ(list->TryGetElement(0), keptB) << "a reset keeps the elements of entries still there";

    source->Clear();
    expect_items_match(list, source);
    EXPECT_EQ(connections_of(*page, 12), 6u) << "the page connected every element made from the template";

    list->ItemsSource(nullptr);
    source->Append(a);
    EXPECT_TRUE(list->visual_children().empty()) << "a list without a source follows no vector";
}

TEST(ItemsRepeater, ItemBindingsFollowTheirEntryAndStopWhenRecycled)
{
    auto page = load_test_page();
    const auto a = entry(u"XXH64");
    auto source = foundation::single_threaded_observable_vector<std::shared_ptr<TestEntry>>({a});
    page->algorithmList->ItemsSource(source);

    const auto element = page->algorithmList->TryGetElement(0);
    auto& bindings = entry_bindings(element);
    EXPECT_TRUE(bindings.IsInitialized());
    EXPECT_EQ(bindings.evaluations, 1) << "phase 0 evaluates once; the data context then changes nothing";

    a->Name(u"XXH3");
    EXPECT_EQ(shown_text(element), QString("XXH3"));
    a->raise(u"Description");
    EXPECT_EQ(bindings.evaluations, 2) << "another property's change evaluates nothing";
    a->raise(u"");
    EXPECT_EQ(bindings.evaluations, 3) << "an empty name means every property";

    const std::weak_ptr<XamlBindings> wrapper = page->entryBindings.front();
    const std::weak_ptr<UIElement> weakElement = element;
    source->Clear();
    EXPECT_FALSE(a->has_listeners()) << "recycling releases the item's listeners";
    EXPECT_FALSE(weakElement.expired()) << "the test still holds the element";
}

TEST(ItemsRepeater, ItemElementsAndTheirBindingsGoTogether)
{
    auto page = load_test_page();
    auto source = foundation::single_threaded_observable_vector<std::shared_ptr<TestEntry>>({entry(u"XXH64")});
    page->algorithmList->ItemsSource(source);
    const std::weak_ptr<UIElement> element = page->algorithmList->TryGetElement(0);
    ASSERT_FALSE(element.expired());
    source->Clear();
    EXPECT_TRUE(element.expired()) << "the element and its binding object hold no references to each other";
    EXPECT_TRUE(page->entryBindings.front().expired());
}

TEST(ItemsRepeater, AClickOnAnItemReachesThePage)
{
    auto page = load_test_page();
    auto source = foundation::single_threaded_observable_vector<std::shared_ptr<TestEntry>>({entry(u"a"), entry(u"b")});
    page->algorithmList->ItemsSource(source);
    const auto toggle = as<ToggleButton>(page->algorithmList->TryGetElement(1));
    toggle->button()->click();
    EXPECT_EQ(page->algorithmClicks, 1);
    EXPECT_EQ(toggle->IsChecked(), true);
}

TEST(ItemsRepeater, ATemplateFromResourcesGivesEveryRowItsBindingScope)
{
    auto page = load_test_page();
    const auto a = entry(u"XXH64"), b = entry(u"XXH3");
    const auto pageIds = page->rootBindings->ids;
    page->resultList->ItemsSource(foundation::single_threaded_observable_vector<std::shared_ptr<TestEntry>>({a, b}));

    ASSERT_EQ(page->rowBindings.size(), 2u);
    for (const auto& row : page->rowBindings) EXPECT_EQ(row->ids, (std::vector<std::int32_t>{2, 3, 4}));
    EXPECT_EQ(page->rootBindings->ids, pageIds) << "the page root's scope does not reach into items";
    const auto row = as<StackPanel>(page->resultList->TryGetElement(1));
    EXPECT_EQ(row->DataContext(), b);
    EXPECT_TRUE(as<TextBlock>(row->FindName(u"checksumText")));
    EXPECT_EQ(as<FrameworkElement>(row->FindName(u"checksumText"))->DataContext(), b) << "the data context is inherited";
}

TEST(ItemsRepeater, TheStackLayoutPlacesTheItems)
{
    auto page = load_test_page();
    auto root = test::show(page, 560, 640);
    auto source = foundation::single_threaded_observable_vector<std::shared_ptr<TestEntry>>(
        {entry(u"one"), entry(u"two"), entry(u"three")});
    const auto& list = page->algorithmList;
    list->ItemsSource(source);
    auto geometry = [&](int i) { return list->TryGetElement(i)->widget()->geometry(); };
    ASSERT_TRUE(test::run_until([&] { return geometry(1).left() > 0; }));
    EXPECT_EQ(geometry(1).left(), geometry(0).right() + 1 + 6) << "horizontal, 6 apart";

    list->TryGetElement(1)->Visibility(Visibility::Collapsed);
    ASSERT_TRUE(test::run_until([&] { return geometry(2).left() == geometry(0).right() + 1 + 6; }))
        << "a collapsed item takes no space";

    as<StackLayout>(list->Layout())->Orientation(Orientation::Vertical);
    EXPECT_TRUE(test::run_until([&] { return geometry(2).left() == geometry(0).left() && geometry(2).top() > geometry(0).bottom(); }))
        << "a change of the layout lays the items out again";
}

TEST(XamlBindings, TheDataContextSetsTheDataRoot)
{
    auto button = make<ToggleButton>();
    auto wrapper = make<XamlBindings>(std::make_unique<EntryBindings>());
    auto& bindings = dynamic_cast<EntryBindings&>(wrapper->bindings());
    wrapper->Connect(12, button);
    wrapper->SubscribeForDataContextChanged(button);
    EXPECT_FALSE(bindings.IsInitialized());

    const auto a = entry(u"a"), b = entry(u"b");
    button->DataContext(a);
    EXPECT_TRUE(bindings.IsInitialized());
    EXPECT_EQ(button->button()->text(), QString("a"));
    button->DataContext(nullptr);
    a->Name(u"a2");
    EXPECT_EQ(button->button()->text(), QString("a2")) << "a null data context keeps the old root";
    button->DataContext(b);
    EXPECT_EQ(button->button()->text(), QString("b"));
    EXPECT_FALSE(a->has_listeners()) << "a new root replaces the old one's subscription";

    wrapper->StopTracking();
    EXPECT_FALSE(bindings.IsInitialized());
    EXPECT_FALSE(b->has_listeners());
    wrapper->Initialize();
    EXPECT_TRUE(b->has_listeners());
    const int before = bindings.evaluations;
    wrapper->Initialize();
    EXPECT_EQ(bindings.evaluations, before) << "an initialized object needs no second update";

    try {
        wrapper->DisconnectUnloadedObject(3);
        ADD_FAILURE() << "nothing is loaded on demand";
    } catch (const foundation::hresult_invalid_argument& e) {
        EXPECT_EQ(e.message(), u"No unloadable elements to disconnect.");
    }
}

TEST(XamlBindings, TheFirstUpdateRunsWhenTheElementIsLoading)
{
    auto button = make<ToggleButton>();
    auto wrapper = make<XamlBindings>(std::make_unique<EntryBindings>());
    wrapper->Connect(12, button);
    const auto a = entry(u"loaded");
    wrapper->SetDataRoot(a);
    wrapper->InitializeOnLoading(button);
    EXPECT_FALSE(wrapper->bindings().IsInitialized());
    auto root = test::show(button, 560, 640);
    EXPECT_TRUE(wrapper->bindings().IsInitialized());
    EXPECT_EQ(button->button()->text(), QString("loaded"));
}

TEST(XamlBindings, TheTrackingBaseKeepsOneListenerPerSlot)
{
    counting_listener listener;
    auto first = make<TextBox>(), second = make<TextBox>();
    const auto a = entry(u"a");
    {
        XamlBindingTrackingBase tracking(&listener);
        tracking.UpdateDependencyPropertyChangedListener(0, first, TextBox::TextProperty());
        tracking.UpdateDependencyPropertyChangedListener(0, first, TextBox::TextProperty());
        first->Text(u"x");
        EXPECT_EQ(listener.dependencyProperties, 1) << "the same element again is not listened to twice";
        tracking.UpdateDependencyPropertyChangedListener(0, second, TextBox::TextProperty());
        first->Text(u"y");
        second->Text(u"y");
        EXPECT_EQ(listener.dependencyProperties, 2) << "another element replaces the first";

        tracking.UpdatePropertyChangedListener(1, a);
        tracking.UpdatePropertyChangedListener(1, a);
        a->Name(u"b");
        EXPECT_EQ(listener.properties, 1);
        tracking.UpdatePropertyChangedListener(1, nullptr);
        EXPECT_FALSE(a->has_listeners()) << "null releases the slot";
        tracking.UpdatePropertyChangedListener(1, a);
    }
    second->Text(u"z");
    EXPECT_EQ(listener.dependencyProperties, 2) << "the tracking object releases everything when it goes";
    EXPECT_FALSE(a->has_listeners());
}
