// The program's menu leads to real pages: every tool the pane lists opens its page, laid out and
// showing controls, as the program links and registers them; every class it registers answers
// to the name it is registered under.

#include "app/App.h"
#include "app/MainWindow.h"
#include "platform/foundation/activation.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/markup/markup.h"

#include "tests/support/event_loop.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Zintrel;
using foundation::hstring;
using foundation::unbox_value;

namespace {

// The visible buttons of a tree that have room on the screen.
int shown_buttons(const std::shared_ptr<xaml::UIElement>& element)
{
    int count = 0;
    if (std::dynamic_pointer_cast<xaml::ButtonBase>(element) && element->widget()->isVisible() &&
        !element->widget()->size().isEmpty())
        ++count;
    for (const auto& child : element->visual_children()) count += shown_buttons(child);
    return count;
}

}  // namespace

TEST(ToolPages, EveryToolInThePaneOpensItsPage)
{
    xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
    auto app = foundation::make<App>();
    auto window = foundation::make<MainWindow>();
    window->Activate();
    ASSERT_TRUE(test::run_until([&] { return window->widget()->isVisible() && window->NavView()->IsLoaded(); }));

    const auto items = window->NavView()->MenuItems();
    ASSERT_EQ(items->Size(), 4u);
    // Backwards, so that the first tool, shown at start, is also reached from another page.
    for (std::uint32_t i = items->Size(); i-- > 0;) {
        auto item = foundation::as<xaml::NavigationViewItem>(items->GetAt(i));
        const auto tag = unbox_value<hstring>(item->Tag());
        SCOPED_TRACE(foundation::to_narrow(tag));
        QTest::mouseClick(item->widget(), Qt::LeftButton);

        ASSERT_TRUE(test::run_until([&] {
            auto page = std::dynamic_pointer_cast<xaml::Page>(window->ContentFrame()->Content());
            return page && page->GetRuntimeClassName() == tag && page->IsLoaded();
        })) << "the frame does not show the tool's page: is its type registered and its library linked?";
        auto page = foundation::as<xaml::Page>(window->ContentFrame()->Content());
        EXPECT_FALSE(page->widget()->size().isEmpty());
        EXPECT_GT(shown_buttons(page), 0) << "the page is blank";
        EXPECT_EQ(foundation::as<xaml::TextBlock>(window->NavView()->Header())->Text(), unbox_value<hstring>(item->Content()));
    }
    window->Close();
}

TEST(ToolPages, EveryRegisteredClassAnswersToItsRegisteredName)
{
    xaml::set_markup_folder(QCoreApplication::applicationDirPath().toStdString());
    auto app = foundation::make<App>();
    int made = 0;
    for (const auto* type : xaml::metadata::registered_types()) {
        if (!type->activate) continue;
        EXPECT_EQ(type->activate()->GetRuntimeClassName(), type->name) << "markup makes it under this name";
        ++made;
    }
    for (const auto& name : foundation::activation::registered_names()) {
        try {
            EXPECT_EQ(foundation::activation::activate(name)->GetRuntimeClassName(), name) << "activation makes it under this name";
            ++made;
        } catch (const foundation::hresult_not_implemented&) {
            // A class of static members only has no instances to ask.
        }
    }
    EXPECT_GT(made, 40) << "the registries hold the program's classes";
}
