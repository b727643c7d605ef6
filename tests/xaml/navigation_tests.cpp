#include "platform/foundation/activation.h"
#include "platform/xaml/controls/Frame.h"
#include "platform/xaml/controls/NavigationView.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/core/XamlRoot.h"

#include "tests/xaml/shown_root.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace xaml;
using foundation::box_value;
using foundation::make;

namespace {

// Wide enough for the pane to stand beside the content.
std::shared_ptr<XamlRoot> show(const std::shared_ptr<UIElement>& content) { return test::show(content, 1100, 600); }

std::shared_ptr<NavigationViewItem> item(const char16_t* text)
{
    auto i = make<NavigationViewItem>();
    i->Content(box_value(text));
    return i;
}

std::vector<std::string>& page_log()
{
    static std::vector<std::string> log;
    return log;
}

class LoggedPage : public Page {
public:
    LoggedPage()
    {
        Loading([](const auto&, const auto&) { page_log().push_back("loading"); });
        Loaded([](const auto&, const auto&) { page_log().push_back("loaded"); });
        Unloaded([](const auto&, const auto&) { page_log().push_back("unloaded"); });
    }
    hstring GetRuntimeClassName() const override { return u"Test.LoggedPage"; }
};

const foundation::class_registration logged_page{u"Test.LoggedPage", foundation::activator_of<LoggedPage>()};
const foundation::class_registration not_a_page{u"Test.NotAPage", [] { return IInspectable(make<Grid>()); }};

}  // namespace

TEST(NavigationView, ClickingAnItemSelectsItAndRaisesSelectionChanged)
{
    auto nav = make<NavigationView>();
    auto first = item(u"Non-cryptographic checksums");
    auto second = item(u"Certificate signing request");
    nav->MenuItems()->Append(first);
    nav->MenuItems()->Append(second);
    std::vector<IInspectable> selected;
    nav->SelectionChanged([&](const auto& sender, const NavigationViewSelectionChangedEventArgs& args) {
        EXPECT_EQ(sender, nav);
        EXPECT_NE(args.RecommendedNavigationTransitionInfo(), nullptr);
        selected.push_back(args.SelectedItem());
    });
    auto root = show(nav);

    QTest::mouseClick(second->widget(), Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0], second);
    EXPECT_TRUE(second->IsSelected());
    nav->SelectedItem(first);
    EXPECT_EQ(selected.size(), 2u);
    EXPECT_FALSE(second->IsSelected());
    nav->SelectedItem(first);
    EXPECT_EQ(selected.size(), 2u) << "selecting the selected item again changes nothing";

    second->Visibility(Visibility::Collapsed);
    EXPECT_FALSE(second->widget()->isVisible()) << "filtered items leave the menu";
}

TEST(NavigationView, PaneToggleAndSlots)
{
    auto nav = make<NavigationView>();
    nav->MenuItems()->Append(item(u"Self-signed certificate"));
    auto search = make<AutoSuggestBox>();
    nav->AutoSuggestBox(search);
    auto header = make<TextBlock>();
    nav->Header(header);
    auto root = show(nav);
    EXPECT_TRUE(nav->IsPaneOpen());
    EXPECT_TRUE(search->widget()->isVisible());
    const int openWidth = nav->MenuItems()->GetAt(0) ? std::dynamic_pointer_cast<UIElement>(nav->MenuItems()->GetAt(0))->widget()->width() : 0;

    QTest::mouseClick(nav->pane_toggle()->widget(), Qt::LeftButton);
    EXPECT_FALSE(nav->IsPaneOpen());
    QCoreApplication::processEvents();
    EXPECT_FALSE(search->widget()->isVisible()) << "a closed pane shows icons only";
    EXPECT_TRUE(test::run_until([&] {
        return std::dynamic_pointer_cast<UIElement>(nav->MenuItems()->GetAt(0))->widget()->width() < openWidth;
    }));

    nav->IsPaneToggleButtonVisible(false);
    EXPECT_FALSE(nav->pane_toggle()->widget()->isVisible());
    EXPECT_EQ(header->visual_parent() != nullptr, true) << "the header element is shown in the view";
}

TEST(NavigationView, ThePaneFollowsTheWidthAndLiesOverTheContentWhenOpenedInNarrowViews)
{
    auto nav = make<NavigationView>();
    auto first = item(u"Fast checksums (xxHash)");
    auto second = item(u"Certificate signing request");
    nav->MenuItems()->Append(first);
    nav->MenuItems()->Append(second);
    auto search = make<AutoSuggestBox>();
    nav->AutoSuggestBox(search);
    auto header = make<TextBlock>();
    header->Text(u"Fast checksums (xxHash)");
    nav->Header(header);
    auto content = make<Grid>();
    nav->Content(content);
    auto root = show(nav);
    QWidget* host = root->host_widget();
    auto left = [&](const std::shared_ptr<UIElement>& e) { return e->widget()->mapTo(host, QPoint(0, 0)).x(); };
    auto resized = [&](int width, NavigationViewDisplayMode mode) {
        host->resize(width, 600);
        return test::run_until([&] { return nav->DisplayMode() == mode; }) &&
               test::run_until([&] { return content->widget()->width() + left(content) == width; });
    };
    EXPECT_EQ(nav->DisplayMode(), NavigationViewDisplayMode::Expanded);
    EXPECT_TRUE(nav->IsPaneOpen());
    EXPECT_EQ(left(content), 300) << "the open pane stands beside the content";

    ASSERT_TRUE(resized(800, NavigationViewDisplayMode::Compact));
    EXPECT_FALSE(nav->IsPaneOpen());
    EXPECT_TRUE(test::run_until([&] { return left(content) == 48; })) << "a rail of icons beside the content";
    EXPECT_TRUE(first->widget()->isVisible());
    EXPECT_LE(first->widget()->width(), 48);
    QTest::mouseClick(nav->pane_toggle()->widget(), Qt::LeftButton);
    ASSERT_TRUE(nav->IsPaneOpen());
    QCoreApplication::processEvents();
    EXPECT_EQ(left(content), 48) << "the opened pane lies over the content";
    EXPECT_TRUE(test::run_until([&] { return first->widget()->width() > 200 && search->widget()->isVisible(); }));
    EXPECT_TRUE(first->widget()->hasFocus()) << "the opened pane takes the focus";
    QWidget* beside = host->childAt(600, 300);
    ASSERT_NE(beside, nullptr);
    QTest::mouseClick(beside, Qt::LeftButton, {}, beside->mapFrom(host, QPoint(600, 300)));
    EXPECT_FALSE(nav->IsPaneOpen()) << "a click beside the pane closes it";

    ASSERT_TRUE(resized(640, NavigationViewDisplayMode::Minimal));
    EXPECT_TRUE(test::run_until([&] { return left(content) == 0; })) << "the content takes the whole width";
    EXPECT_FALSE(first->widget()->isVisible()) << "only the toggle button is left of the pane";
    EXPECT_TRUE(nav->pane_toggle()->widget()->isVisible());
    EXPECT_GE(left(header), nav->pane_toggle()->widget()->mapTo(host, QPoint(0, 0)).x() + nav->pane_toggle()->widget()->width())
        << "the header stands beside the toggle button";
    QTest::mouseClick(nav->pane_toggle()->widget(), Qt::LeftButton);
    ASSERT_TRUE(test::run_until([&] { return second->widget()->isVisible(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(nav->IsPaneOpen()) << "Escape closes the pane";
    QTest::mouseClick(nav->pane_toggle()->widget(), Qt::LeftButton);
    ASSERT_TRUE(test::run_until([&] { return second->widget()->isVisible(); }));
    QTest::mouseClick(second->widget(), Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(nav->SelectedItem(), second);
    EXPECT_FALSE(nav->IsPaneOpen()) << "choosing a tool closes the pane";

    ASSERT_TRUE(resized(1100, NavigationViewDisplayMode::Expanded));
    EXPECT_TRUE(nav->IsPaneOpen());
    EXPECT_TRUE(test::run_until([&] { return left(content) == 300; }));
}

TEST(AutoSuggestBox, TypingIsUserInputAndCodeIsProgrammatic)
{
    auto box = make<AutoSuggestBox>();
    std::vector<AutoSuggestionBoxTextChangeReason> reasons;
    box->TextChanged([&](const auto&, const AutoSuggestBoxTextChangedEventArgs& args) { reasons.push_back(args.Reason()); });
    auto root = show(box);
    ASSERT_TRUE(box->Focus(FocusState::Programmatic));
    QTest::keyClicks(box->editor(), "su");
    box->Text(u"set");
    EXPECT_EQ(box->editor()->text(), QString("set"));
    EXPECT_EQ(reasons, (std::vector<AutoSuggestionBoxTextChangeReason>{AutoSuggestionBoxTextChangeReason::UserInput,
                                                                      AutoSuggestionBoxTextChangeReason::UserInput,
                                                                      AutoSuggestionBoxTextChangeReason::ProgrammaticChange}));
    EXPECT_EQ(box->Text(), u"set");
}

TEST(Frame, NavigatesByTypeNameAndReportsFailures)
{
    auto frame = make<Frame>();
    auto root = show(frame);
    page_log().clear();
    EXPECT_TRUE(frame->Navigate({u"Test.LoggedPage", TypeKind::Primitive}));
    EXPECT_EQ(page_log(), (std::vector<std::string>{"loading", "loaded"}));
    EXPECT_EQ(frame->CurrentSourcePageType(), (TypeName{u"Test.LoggedPage", TypeKind::Primitive}));
    auto first = frame->Content();

    std::vector<foundation::hresult> failures;
    std::vector<hstring> failedPages;
    frame->NavigationFailed([&](const auto&, const std::shared_ptr<NavigationFailedEventArgs>& args) {
        failures.push_back(args->Exception());
        failedPages.push_back(args->SourcePageType().Name);
    });
    EXPECT_FALSE(frame->Navigate({u"Zintrel.MissingPage", TypeKind::Primitive}));
    EXPECT_EQ(frame->Content(), first) << "a failed navigation leaves the page in place";
    EXPECT_FALSE(frame->Navigate({u"Test.NotAPage", TypeKind::Primitive}));
    EXPECT_EQ(failures, (std::vector<foundation::hresult>{foundation::CLASS_E_CLASSNOTAVAILABLE, foundation::E_NOINTERFACE}));
    EXPECT_EQ(failedPages, (std::vector<hstring>{u"Zintrel.MissingPage", u"Test.NotAPage"}));

    page_log().clear();
    EXPECT_TRUE(frame->Navigate({u"Test.LoggedPage", TypeKind::Primitive}));
    EXPECT_EQ(page_log(), (std::vector<std::string>{"unloaded", "loading", "loaded"}));
    EXPECT_NE(frame->Content(), first);
}
