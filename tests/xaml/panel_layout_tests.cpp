#include "platform/xaml/controls/Border.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/Grid.h"
#include "platform/xaml/controls/RelativePanel.h"
#include "platform/xaml/controls/ScrollViewer.h"
#include "platform/xaml/controls/StackPanel.h"

#include "tests/xaml/shown_root.h"

#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace xaml;
using foundation::box_value;
using foundation::make;

namespace {

std::shared_ptr<Button> sized_button(const char16_t* name, double width, double height)
{
    auto button = make<Button>();
    button->Name(name);
    button->Content(box_value(name));
    button->Width(width);
    button->Height(height);
    return button;
}

QRect geometry(const std::shared_ptr<UIElement>& element) { return element->widget()->geometry(); }

std::shared_ptr<SolidColorBrush> brush(Color color) { return make<SolidColorBrush>(color); }

}  // namespace

TEST(RelativePanel, PlacesChildrenAgainstSiblingsAndThePanel)
{
    auto panel = make<RelativePanel>();
    auto a = sized_button(u"a", 100, 30);
    auto b = sized_button(u"b", 60, 20);
    auto c = sized_button(u"c", 80, 40);
    auto d = sized_button(u"d", 50, 25);
    auto e = sized_button(u"e", 70, 20);
    auto f = sized_button(u"f", 30, 10);
    auto bar = make<Border>();
    bar->Height(20);
    auto g = sized_button(u"g", 40, 15);
    for (const std::shared_ptr<UIElement>& child : {std::shared_ptr<UIElement>(a), std::shared_ptr<UIElement>(b),
                                                    std::shared_ptr<UIElement>(c), std::shared_ptr<UIElement>(d),
                                                    std::shared_ptr<UIElement>(e), std::shared_ptr<UIElement>(f),
                                                    std::shared_ptr<UIElement>(bar), std::shared_ptr<UIElement>(g)})
        panel->Children()->Append(child);
    RelativePanel::SetBelow(b, a);
    RelativePanel::SetRightOf(c, a);
    RelativePanel::SetAlignRightWithPanel(d, true);
    RelativePanel::SetBelow(d, box_value(u"c"));  // by name, as markup writes it
    RelativePanel::SetAlignLeftWith(e, c);
    RelativePanel::SetBelow(e, b);
    RelativePanel::SetLeftOf(f, d);
    RelativePanel::SetAlignBottomWith(f, d);
    RelativePanel::SetAlignLeftWithPanel(bar, true);
    RelativePanel::SetAlignRightWithPanel(bar, true);
    RelativePanel::SetAlignBottomWithPanel(bar, true);
    RelativePanel::SetAbove(g, bar);
    RelativePanel::SetAlignRightWith(g, c);
    RelativePanel::SetAlignTopWith(a, c);  // a sibling placed later is placed first
    auto root = test::show(panel, 400, 300);

    EXPECT_EQ(geometry(a), QRect(0, 0, 100, 30));
    EXPECT_EQ(geometry(b), QRect(0, 30, 60, 20));
    EXPECT_EQ(geometry(c), QRect(100, 0, 80, 40));
    EXPECT_EQ(geometry(d), QRect(350, 40, 50, 25));
    EXPECT_EQ(geometry(e), QRect(100, 50, 70, 20));
    EXPECT_EQ(geometry(f), QRect(320, 55, 30, 10));
    EXPECT_EQ(geometry(bar), QRect(0, 280, 400, 20)) << "bound on both sides, it fills the space between";
    EXPECT_EQ(geometry(g), QRect(140, 265, 40, 15));

    // The panel asks for room for the runs from its start edges (a, c; e) and those from its
    // end edges (f, d; g, bar) side by side.
    const auto desired = panel->desired_size();
    EXPECT_EQ(desired.Width, (100 + 80) + (30 + 50));
    EXPECT_EQ(desired.Height, (20 + 30 + 20) + (15 + 20));
}

TEST(RelativePanel, FollowsAChangedSiblingAndIgnoresUnknownNamesAndCycles)
{
    auto panel = make<RelativePanel>();
    auto common = sized_button(u"CommonNameCtrl", 200, 30);
    auto alt = sized_button(u"AltNamesCtrl", 200, 50);
    auto org = sized_button(u"Organization", 200, 30);
    auto lost = sized_button(u"lost", 40, 20);
    auto p = sized_button(u"p", 40, 20);
    auto q = sized_button(u"q", 40, 20);
    for (const auto& child : {common, alt, org, lost, p, q}) panel->Children()->Append(child);
    RelativePanel::SetBelow(alt, common);
    RelativePanel::SetBelow(org, alt);
    RelativePanel::SetBelow(lost, box_value(u"nobody"));
    RelativePanel::SetRightOf(lost, box_value(u"commonnamectrl"));  // names compare exactly
    RelativePanel::SetBelow(p, q);
    RelativePanel::SetBelow(q, p);
    auto root = test::show(panel, 400, 300);
    EXPECT_EQ(geometry(org).top(), 80);
    EXPECT_EQ(geometry(lost).topLeft(), QPoint(0, 0));
    EXPECT_TRUE(geometry(p).top() == 0 || geometry(q).top() == 0) << "a cycle is broken, not followed";

    // What the digital-signing choice does: hide the alternative names, place against the name.
    alt->Visibility(Visibility::Collapsed);
    RelativePanel::SetBelow(org, common);
    EXPECT_TRUE(test::run_until([&] { return geometry(org).top() == 30; }));
    alt->Visibility(Visibility::Visible);
    RelativePanel::SetBelow(org, alt);
    EXPECT_TRUE(test::run_until([&] { return geometry(org).top() == 80; }));
}

TEST(RelativePanel, SiblingsThatReferToEachOtherGoWithTheirPanel)
{
    auto panel = make<RelativePanel>();
    auto p = make<Button>();
    auto q = make<Button>();
    panel->Children()->Append(p);
    panel->Children()->Append(q);
    RelativePanel::SetBelow(p, q);
    RelativePanel::SetRightOf(q, p);
    EXPECT_EQ(RelativePanel::GetBelow(p), q);
    const std::weak_ptr<Button> weakP = p, weakQ = q;
    panel = nullptr;
    p = nullptr;
    q = nullptr;
    EXPECT_TRUE(weakP.expired() && weakQ.expired()) << "siblings keep each other alive";
}

TEST(Border, PaintsBackgroundBorderAndPaddingAroundItsChild)
{
    auto border = make<Border>();
    border->Background(brush({255, 255, 0, 0}));
    border->BorderBrush(brush({255, 0, 160, 0}));
    border->BorderThickness({4, 4, 4, 4});
    border->Padding({10, 10, 10, 10});
    border->HorizontalAlignment(HorizontalAlignment::Left);
    border->VerticalAlignment(VerticalAlignment::Top);
    auto inner = make<Border>();
    inner->Background(brush({255, 0, 0, 255}));
    inner->Width(40);
    inner->Height(40);
    border->Child(inner);
    auto root = test::show(border);

    EXPECT_EQ(geometry(border), QRect(0, 0, 68, 68)) << "the child's size plus border and padding";
    EXPECT_EQ(geometry(inner), QRect(14, 14, 40, 40));
    const QImage image = border->widget()->grab().toImage();
    EXPECT_EQ(image.pixelColor(1, 34), QColor(0, 160, 0)) << "the border";
    EXPECT_EQ(image.pixelColor(8, 34), QColor(255, 0, 0)) << "the padding shows the background";
    EXPECT_EQ(image.pixelColor(34, 34), QColor(0, 0, 255)) << "the child";

    border->Padding({});
    EXPECT_TRUE(test::run_until([&] { return geometry(inner) == QRect(4, 4, 40, 40); }));
}

TEST(Grid, AChildSpanningTracksWidensThemToItsOwnSize)
{
    auto grid = make<Grid>();
    grid->SetValue(Grid::ColumnSpacingProperty(), box_value(10.0));
    for (auto width : {GridLengthHelper::Auto(), GridLengthHelper::Auto(), GridLength{1.0, GridUnitType::Star}}) {
        auto column = make<ColumnDefinition>();
        column->Width(width);
        grid->ColumnDefinitions()->Append(column);
    }
    grid->RowDefinitions()->Append(make<RowDefinition>());
    auto left = sized_button(u"Left", 60, 20);
    auto wide = sized_button(u"Wide", 400, 20);
    wide->SetValue(Grid::ColumnSpanProperty(), box_value(std::int32_t{3}));
    grid->Children()->Append(left);
    grid->Children()->Append(wide);
    grid->HorizontalAlignment(HorizontalAlignment::Left);
    auto root = test::show(grid, 600, 200);

    EXPECT_EQ(grid->desired_size().Width, 400) << "the spanning child is as wide as it asks";
    ASSERT_TRUE(test::run_until([&] { return wide->widget()->width() == 400; }));
    EXPECT_EQ(left->widget()->width(), 60);
}

TEST(ScrollViewer, ScrollsContentWiderThanItselfSidewaysOnlyWhenAllowed)
{
    auto viewer = make<ScrollViewer>();
    viewer->Width(200);
    viewer->Height(100);
    viewer->HorizontalAlignment(HorizontalAlignment::Left);
    viewer->VerticalAlignment(VerticalAlignment::Top);
    auto wide = sized_button(u"Wide", 500, 40);
    viewer->Content(wide);
    auto root = test::show(viewer, 300, 300);
    QScrollBar* bar = viewer->scroll_area()->horizontalScrollBar();
    ASSERT_TRUE(test::run_until([&] { return viewer->widget()->width() == 200; }));
    EXPECT_EQ(bar->maximum(), 0) << "by default the content takes the viewer's width";

    viewer->HorizontalScrollBarVisibility(ScrollBarVisibility::Auto);
    ASSERT_TRUE(test::run_until([&] { return bar->maximum() > 0; })) << "500 pixels of content in 200";
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 500 - viewer->scroll_area()->viewport()->width());

    viewer->HorizontalScrollBarVisibility(ScrollBarVisibility::Disabled);
    EXPECT_TRUE(test::run_until([&] { return bar->maximum() == 0 && !bar->isVisible(); }));
}

TEST(ScrollViewer, ScrollsContentTallerThanItselfVertically)
{
    auto viewer = make<ScrollViewer>();
    viewer->Height(100);
    viewer->VerticalAlignment(VerticalAlignment::Top);
    auto stack = make<StackPanel>();
    for (int i = 0; i < 10; ++i) {
        auto button = make<Button>();
        button->Content(box_value(u"Row"));
        button->Height(40);
        stack->Children()->Append(button);
    }
    viewer->Content(stack);
    auto root = test::show(viewer, 300, 300);

    QScrollBar* bar = viewer->scroll_area()->verticalScrollBar();
    ASSERT_TRUE(test::run_until([&] { return bar->maximum() > 0; })) << "400 pixels of content in 100";
    EXPECT_EQ(bar->maximum(), 400 - 100);
    EXPECT_EQ(stack->widget()->height(), 400);
    EXPECT_EQ(stack->widget()->width(), viewer->scroll_area()->viewport()->width()) << "no horizontal scrolling";

    QWidget* viewport = viewer->scroll_area()->viewport();
    const QPoint at(20, 50);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    EXPECT_GT(bar->value(), 0) << "the wheel scrolls";
    EXPECT_EQ(stack->widget()->mapTo(viewer->widget(), QPoint(0, 0)).y(), -bar->value());

    viewer->Height(500);
    EXPECT_TRUE(test::run_until([&] { return bar->maximum() == 0; })) << "content that fits does not scroll";
}
