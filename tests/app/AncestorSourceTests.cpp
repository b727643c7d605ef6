#include "app/AncestorSource.h"
#include "app/InverseBooleanToVisibilityConverter.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/controls/Control.h"
#include "platform/xaml/controls/StackPanel.h"
#include "platform/xaml/controls/TextBlock.h"

#include "tests/xaml/shown_root.h"

#include <gtest/gtest.h>

using namespace Zintrel;
using foundation::box_value;
using foundation::make;

namespace {

// A page of the program, with the runtime class name it reports.
class named_page final : public xaml::Page {
public:
    explicit named_page(foundation::hstring name) : m_name(std::move(name)) {}
    foundation::hstring GetRuntimeClassName() const override { return m_name; }

private:
    foundation::hstring m_name;
};

// outer page > panel > inner page > panel > target
struct nested_pages {
    std::shared_ptr<named_page> outer = make<named_page>(u"Zintrel.SelfSignedCertPage");
    std::shared_ptr<named_page> inner = make<named_page>(u"Zintrel.SelfSignedCertPage");
    std::shared_ptr<xaml::TextBlock> target = make<xaml::TextBlock>();

    nested_pages()
    {
        auto outerPanel = make<xaml::StackPanel>();
        auto innerPanel = make<xaml::StackPanel>();
        outer->Content(outerPanel);
        outerPanel->Children()->Append(inner);
        inner->Content(innerPanel);
        innerPanel->Children()->Append(target);
    }
};

bool waits(const std::shared_ptr<xaml::FrameworkElement>& element)
{
    return AncestorSource::AncestorLoadedTokens().contains(element);
}

}  // namespace

TEST(AncestorSource, TheNearestMatchingAncestorBecomesTheDataContextOnceLoaded)
{
    nested_pages tree;
    AncestorSource::SetAncestorType(tree.target, u"Zintrel.SelfSignedCertPage");
    EXPECT_EQ(tree.target->DataContext(), nullptr) << "nothing happens before the element is loaded";
    EXPECT_TRUE(waits(tree.target));

    auto root = test::show(tree.outer);
    EXPECT_EQ(tree.target->DataContext(), tree.inner) << "the first match from below wins";
    EXPECT_FALSE(waits(tree.target)) << "the entry goes once it has been applied";

    // Already loaded: applied at once, nothing recorded.
    AncestorSource::SetAncestorType(tree.target, u"Microsoft.UI.Xaml.Controls.StackPanel");
    EXPECT_EQ(tree.target->DataContext(), tree.target->Parent());
    EXPECT_FALSE(waits(tree.target));
}

TEST(AncestorSource, ANameThatMatchesNoAncestorExactlyGivesNull)
{
    nested_pages tree;
    auto root = test::show(tree.outer);
    for (const char16_t* name : {u"zintrel.selfsignedcertpage", u"Zintrel.SelfSigned", u"Microsoft.UI.Xaml.Controls.TextBlock"}) {
        tree.target->DataContext(box_value(u"before"));
        AncestorSource::SetAncestorType(tree.target, name);
        EXPECT_EQ(tree.target->DataContext(), nullptr) << foundation::to_narrow(name) << " (the element itself never counts)";
    }
}

TEST(AncestorSource, AChangeWhileWaitingKeepsOneHandlerThatAppliesTheLatestValue)
{
    nested_pages tree;
    AncestorSource::SetAncestorType(tree.target, u"Zintrel.NoSuchPage");
    ASSERT_TRUE(waits(tree.target));
    const auto token = AncestorSource::AncestorLoadedTokens().find(tree.target)->second;
    AncestorSource::SetAncestorType(tree.target, u"Zintrel.SelfSignedCertPage");
    EXPECT_EQ(AncestorSource::AncestorLoadedTokens().find(tree.target)->second, token);

    int dataContextChanges = 0;
    tree.target->DataContextChanged([&](const auto&, const auto&) { ++dataContextChanges; });
    auto root = test::show(tree.outer);
    EXPECT_EQ(tree.target->DataContext(), tree.inner);
    EXPECT_EQ(dataContextChanges, 1) << "applied once";

    // The element only refers to the page that owns it: the tree goes with its last owner.
    const std::weak_ptr<xaml::Page> page = tree.inner;
    root = nullptr;
    tree.outer = nullptr;
    tree.inner = nullptr;
    tree.target = nullptr;
    EXPECT_TRUE(page.expired()) << "the page and its element keep each other alive";
}

TEST(AncestorSource, AnElementDroppedBeforeItLoadsGoes)
{
    auto element = make<xaml::TextBlock>();
    AncestorSource::SetAncestorType(element, u"Zintrel.SelfSignedCertPage");
    ASSERT_TRUE(waits(element));
    const std::weak_ptr<xaml::TextBlock> gone = element;
    element = nullptr;
    EXPECT_TRUE(gone.expired()) << "the wait for Loaded keeps the element alive";
}

TEST(AncestorSource, AValueClearedBeforeLoadingAppliesNothing)
{
    nested_pages tree;
    AncestorSource::SetAncestorType(tree.target, u"Zintrel.SelfSignedCertPage");
    tree.target->ClearValue(AncestorSource::AncestorTypeProperty());
    bool laterLoaded = false;
    auto later = make<xaml::TextBlock>();
    later->Loaded([&](const auto&, const auto&) { laterLoaded = true; });
    std::dynamic_pointer_cast<xaml::Panel>(tree.inner->Content())->Children()->Append(later);
    auto root = test::show(tree.outer);
    EXPECT_EQ(tree.target->DataContext(), nullptr);
    EXPECT_TRUE(laterLoaded) << "loading goes on past the element";
    EXPECT_FALSE(waits(tree.target));
}

TEST(InverseBooleanToVisibilityConverter, HidesOnTrueAndShowsOtherwise)
{
    auto converter = foundation::as<xaml::IValueConverter>(
        foundation::activation::activate(u"Zintrel.InverseBooleanToVisibilityConverter"));
    const xaml::TypeName target{u"Microsoft.UI.Xaml.Visibility", xaml::TypeKind::Metadata};
    auto convert = [&](const foundation::IInspectable& value) {
        return foundation::unbox_value<xaml::Visibility>(converter->Convert(value, target, nullptr, u""));
    };
    EXPECT_EQ(convert(box_value(true)), xaml::Visibility::Collapsed);
    EXPECT_EQ(convert(box_value(false)), xaml::Visibility::Visible);
    EXPECT_EQ(convert(nullptr), xaml::Visibility::Visible) << "a missing value shows the element";
    EXPECT_EQ(convert(box_value(u"true")), xaml::Visibility::Visible) << "only a boxed Boolean counts";

    for (const auto& value : {box_value(xaml::Visibility::Collapsed), foundation::IInspectable{}}) {
        try {
            converter->ConvertBack(value, {u"Boolean"}, nullptr, u"");
            ADD_FAILURE() << "ConvertBack converted";
        } catch (const foundation::hresult_error& e) {
            EXPECT_EQ(e.code(), foundation::E_NOTIMPL);
        }
    }
}
