#include "platform/xaml/controls/NavigationView.h"

#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>

#include <functional>

namespace xaml {

using foundation::box_value;

namespace {

constexpr double compact_pane_width = 48;

// The page header is read as a heading.
class heading_accessible final : public QAccessibleWidget {
public:
    explicit heading_accessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Heading) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

constexpr const char* heading_marker = "xaml_heading";

QAccessibleInterface* heading_accessible_of(const QString&, QObject* object)
{
    if (auto* label = qobject_cast<QLabel*>(object); label && label->property(heading_marker).toBool())
        return new heading_accessible(label);
    return nullptr;
}

void install_heading_accessible()
{
    static const bool installed = (QAccessible::installFactory(heading_accessible_of), true);
    (void)installed;
}

// Beside a pane that lies open over the content: a click there closes the pane and goes no
// further, as the platform's light dismiss does.
class click_catcher final : public QWidget {
public:
    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        if (clicked) clicked();
    }
};

class dismiss_layer final : public FrameworkElement {
public:
    explicit dismiss_layer(std::function<void()> dismiss)
    {
        auto* catcher = new click_catcher;
        catcher->clicked = [dismiss = std::move(dismiss)] { guard(dismiss); };
        set_widget(catcher);
    }
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.Primitives.LightDismissLayer"; }
};

}  // namespace

NavigationView::NavigationView()
    : m_menuItems(foundation::single_threaded_observable_vector<IInspectable>()),
      m_layout(foundation::make<Grid>()),
      m_pane(foundation::make<Grid>()),
      m_menuPanel(foundation::make<StackPanel>()),
      m_toggle(foundation::make<Button>()),
      m_main(foundation::make<Grid>())
{
    install_heading_accessible();
    auto column = [](GridLength width) {
        auto c = foundation::make<ColumnDefinition>();
        c->Width(width);
        return c;
    };
    auto row = [](GridLength height) {
        auto r = foundation::make<RowDefinition>();
        r->Height(height);
        return r;
    };
    // The pane's rail, then the content; the pane spans both to lie over the content when open
    // in a narrow view. The content's first column leaves room for the toggle button when the
    // pane is no more than that.
    m_layout->ColumnDefinitions()->Append(column(GridLengthHelper::FromPixels(OpenPaneLength())));
    m_layout->ColumnDefinitions()->Append(column({1, GridUnitType::Star}));
    for (auto height : {GridLengthHelper::Auto(), GridLengthHelper::Auto(), GridLength{1, GridUnitType::Star}, GridLengthHelper::Auto()})
        m_pane->RowDefinitions()->Append(row(height));
    m_main->RowDefinitions()->Append(row(GridLengthHelper::Auto()));
    m_main->RowDefinitions()->Append(row({1, GridUnitType::Star}));
    m_main->ColumnDefinitions()->Append(column(GridLengthHelper::FromPixels(0)));
    m_main->ColumnDefinitions()->Append(column({1, GridUnitType::Star}));
    Grid::SetColumn(m_main, 1);
    Grid::SetColumnSpan(m_pane, 2);
    m_pane->HorizontalAlignment(HorizontalAlignment::Left);
    auto weak = get_weak(this);
    auto dismiss = [weak] {
        auto self = weak.lock();
        if (!self || self->m_displayMode == NavigationViewDisplayMode::Expanded || !self->IsPaneOpen()) return;
        self->IsPaneOpen(false);
        // The toggle button shows again once the pane has closed; the focus returns to it.
        QWidget* toggle = self->m_toggle->widget();
        QMetaObject::invokeMethod(toggle, [toggle] { if (toggle->isVisible()) toggle->setFocus(Qt::OtherFocusReason); },
                                  Qt::QueuedConnection);
    };
    m_dismiss = foundation::make<dismiss_layer>(dismiss);
    Grid::SetColumnSpan(m_dismiss, 2);

    m_toggle->Content(box_value(u"\u2630"));
    m_toggle->Width(40);
    m_toggle->Height(36);
    m_toggle->Margin({4, 4, 4, 4});
    m_toggle->widget()->setAccessibleName("Open or close navigation");
    m_toggle->widget()->setStyleSheet("QPushButton { border: none; border-radius: 5px; background: transparent; font-size: 16px; }"
                                      "QPushButton:hover { background: rgba(128, 128, 128, 40); }");
    m_menuPanel->Spacing(2);
    m_menuPanel->Margin({0, 8, 0, 8});
    Grid::SetRow(m_menuPanel, 2);
    m_pane->Children()->Append(m_toggle);
    m_pane->Children()->Append(m_menuPanel);
    // Later children lie above earlier ones: the content, the dismissing layer, the pane.
    m_layout->Children()->Append(m_main);
    m_layout->Children()->Append(m_dismiss);
    m_layout->Children()->Append(m_pane);
    attach_child(m_layout);
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_pane->widget());
    m_escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(m_escape, &QShortcut::activated, m_pane->widget(), [dismiss] { guard(dismiss); });

    m_toggle->Click([weak](const auto&, const auto&) {
        if (auto self = weak.lock()) self->IsPaneOpen(!self->IsPaneOpen());
    });
    m_menuItems->VectorChanged([weak](const auto&, const auto&) {
        if (auto self = weak.lock()) self->menu_changed();
    });
    SizeChanged([weak](const auto&, const SizeChangedEventArgs& args) {
        if (auto self = weak.lock()) self->follow_width(args.NewSize.Width);
    });
    update_pane();
}

void NavigationView::follow_width(double width)
{
    const auto mode = width >= ExpandedModeThresholdWidth()  ? NavigationViewDisplayMode::Expanded
                      : width >= CompactModeThresholdWidth() ? NavigationViewDisplayMode::Compact
                                                             : NavigationViewDisplayMode::Minimal;
    if (mode == m_displayMode) return;
    m_displayMode = mode;
    // The pane opens beside the content where there is room for both and closes elsewhere.
    const bool open = mode == NavigationViewDisplayMode::Expanded;
    if (IsPaneOpen() != open) IsPaneOpen(open);
    else update_pane();
}

void NavigationView::update_pane()
{
    const bool open = IsPaneOpen();
    const bool expanded = m_displayMode == NavigationViewDisplayMode::Expanded;
    const bool minimal = m_displayMode == NavigationViewDisplayMode::Minimal;
    const bool over = open && !expanded;
    const double rail = expanded ? (open ? OpenPaneLength() : compact_pane_width) : minimal ? 0 : compact_pane_width;
    m_layout->ColumnDefinitions()->GetAt(0)->Width(GridLengthHelper::FromPixels(rail));
    m_main->ColumnDefinitions()->GetAt(0)->Width(GridLengthHelper::FromPixels(minimal ? compact_pane_width : 0));
    m_pane->Width(open ? OpenPaneLength() : compact_pane_width);
    // Closed in the narrowest view, the pane is its toggle button alone.
    m_pane->VerticalAlignment(minimal && !open ? VerticalAlignment::Top : VerticalAlignment::Stretch);
    m_menuPanel->Visibility(minimal && !open ? Visibility::Collapsed : Visibility::Visible);
    for (const auto& entry : *m_menuItems)
        if (auto item = std::dynamic_pointer_cast<NavigationViewItem>(entry)) item->set_compact(!open);
    if (m_searchElement) m_searchElement->Visibility(open ? Visibility::Visible : Visibility::Collapsed);
    if (m_footerElement) m_footerElement->Visibility(open ? Visibility::Visible : Visibility::Collapsed);
    m_dismiss->Visibility(over ? Visibility::Visible : Visibility::Collapsed);
    // A pane lying over the content keeps its toggle above it, where a pointer closes it again.
    m_toggle->Visibility(IsPaneToggleButtonVisible() || over ? Visibility::Visible : Visibility::Collapsed);
    m_pane->widget()->setAutoFillBackground(over);
    // Lying over the page, the pane casts a shadow on it, which sets it apart.
    if (over && !m_pane->widget()->graphicsEffect()) {
        auto* shadow = new QGraphicsDropShadowEffect;
        shadow->setBlurRadius(24);
        shadow->setOffset(2, 0);
        shadow->setColor(QColor(0, 0, 0, 90));
        m_pane->widget()->setGraphicsEffect(shadow);
    } else if (!over) {
        m_pane->widget()->setGraphicsEffect(nullptr);
    }
    m_escape->setEnabled(over);
}

void NavigationView::menu_changed()
{
    m_menuPanel->Children()->Clear();
    const bool compact = !IsPaneOpen();
    for (const auto& entry : *m_menuItems) {
        if (auto item = std::dynamic_pointer_cast<NavigationViewItem>(entry)) {
            item->m_owner = std::static_pointer_cast<NavigationView>(strong_self());
            item->set_compact(compact);
            item->set_selected(entry == SelectedItem());
        }
        if (auto element = std::dynamic_pointer_cast<UIElement>(entry)) m_menuPanel->Children()->Append(element);
    }
}

void NavigationView::item_invoked(const std::shared_ptr<NavigationViewItem>& item)
{
    SelectedItem(item);
    // A pane over the content has done its work once a tool is chosen.
    if (m_displayMode != NavigationViewDisplayMode::Expanded) IsPaneOpen(false);
}

void NavigationView::set_slot(std::shared_ptr<UIElement>& slot, const IInspectable& value, const std::shared_ptr<Panel>& host,
                              std::int32_t row)
{
    if (slot) {
        std::uint32_t index = 0;
        if (host->Children()->IndexOf(slot, index)) host->Children()->RemoveAt(index);
        slot.reset();
    }
    if (!value) return;
    if (auto element = std::dynamic_pointer_cast<UIElement>(value)) {
        slot = element;
    } else {
        auto text = foundation::make<TextBlock>();
        text->Text(content_text(value));
        slot = text;
    }
    Grid::SetRow(slot, row);
    if (host == m_main) {
        if (row == 0) Grid::SetColumn(slot, 1);
        else Grid::SetColumnSpan(slot, 2);
    }
    // Children stand in the order of their rows, which is the order Tab visits them.
    std::uint32_t at = 0;
    while (at < host->Children()->Size() && Grid::GetRow(host->Children()->GetAt(at)) <= row) ++at;
    host->Children()->InsertAt(at, slot);
}

void NavigationView::present_content(const IInspectable&, const IInspectable& now) { set_slot(m_contentElement, now, m_main, 1); }

void NavigationView::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    ContentControl::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == SelectedItemProperty()) {
        for (const auto& entry : *m_menuItems)
            if (auto item = std::dynamic_pointer_cast<NavigationViewItem>(entry)) item->set_selected(entry == args.NewValue());
        m_SelectionChanged(std::static_pointer_cast<NavigationView>(strong_self()),
                           NavigationViewSelectionChangedEventArgs(args.NewValue(), foundation::make<NavigationTransitionInfo>()));
    } else if (p == IsPaneOpenProperty() || p == OpenPaneLengthProperty()) {
        update_pane();
        // A pane opened over the content takes the focus, on its chosen item.
        if (p == IsPaneOpenProperty() && IsPaneOpen() && m_displayMode != NavigationViewDisplayMode::Expanded) {
            auto chosen = std::dynamic_pointer_cast<UIElement>(SelectedItem());
            if (!chosen && m_menuItems->Size() > 0) chosen = std::dynamic_pointer_cast<UIElement>(m_menuItems->GetAt(0));
            if (chosen && chosen->widget()) chosen->widget()->setFocus(Qt::OtherFocusReason);
        }
    } else if (p == CompactModeThresholdWidthProperty() || p == ExpandedModeThresholdWidthProperty()) {
        if (widget() && is_live()) follow_width(widget()->width());
    } else if (p == IsPaneToggleButtonVisibleProperty()) {
        update_pane();
    } else if (p == HeaderProperty()) {
        set_slot(m_headerElement, Header(), m_main, 0);
        if (m_headerElement && m_headerElement->widget()) m_headerElement->widget()->setProperty(heading_marker, true);
    } else if (p == AutoSuggestBoxProperty()) {
        set_slot(m_searchElement, args.NewValue(), m_pane, 1);
        if (m_searchElement) {
            auto fe = std::dynamic_pointer_cast<FrameworkElement>(m_searchElement);
            if (fe) fe->Margin({8, 4, 8, 4});
            m_searchElement->Visibility(IsPaneOpen() ? Visibility::Visible : Visibility::Collapsed);
        }
    } else if (p == PaneFooterProperty()) {
        set_slot(m_footerElement, args.NewValue(), m_pane, 3);
        if (m_footerElement) m_footerElement->Visibility(IsPaneOpen() ? Visibility::Visible : Visibility::Collapsed);
    }
}

void register_navigation_view()
{
    const TypeName object{u"Object"}, number{u"Double"};
    metadata::type_builder(NavigationView::class_name, ContentControl::class_name)
        .activatable<NavigationView>()
        .property(NavigationView::SelectedItemProperty, object, nullptr)
        .property(NavigationView::IsPaneOpenProperty, {u"Boolean"}, box_value(true))
        .property(NavigationView::IsPaneToggleButtonVisibleProperty, {u"Boolean"}, box_value(true))
        .property(NavigationView::HeaderProperty, object, nullptr)
        .property(NavigationView::AutoSuggestBoxProperty, object, nullptr)
        .property(NavigationView::PaneFooterProperty, object, nullptr)
        .property(NavigationView::OpenPaneLengthProperty, number, box_value(300.0))
        .property(NavigationView::CompactModeThresholdWidthProperty, number, box_value(641.0))
        .property(NavigationView::ExpandedModeThresholdWidthProperty, number, box_value(1008.0))
        .collection(u"MenuItems", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<NavigationView>(target)->MenuItems()->Append(value);
        });
}

}  // namespace xaml
