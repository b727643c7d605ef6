#include "platform/xaml/controls/Control.h"

#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace xaml {

using foundation::box_value;

void apply_text_brush(QWidget* widget, const std::shared_ptr<Brush>& brush)
{
    if (!widget) return;
    QPalette palette = widget->palette();
    if (auto solid = std::dynamic_pointer_cast<SolidColorBrush>(brush)) {
        const QColor color = to_qcolor(solid->Color());
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) palette.setColor(role, color);
        widget->setPalette(palette);
    } else {
        widget->setPalette(QPalette());
    }
}

void Control::apply_foreground() { apply_text_brush(widget(), Foreground()); }

void Control::apply_background()
{
    QWidget* w = widget();
    if (!w) return;
    if (auto solid = std::dynamic_pointer_cast<SolidColorBrush>(Background())) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, to_qcolor(solid->Color()));
        w->setPalette(palette);
        w->setAutoFillBackground(solid->Color().A != 0);
    } else {
        w->setAutoFillBackground(false);
    }
}

struct Control::focus_return {
    QPointer<QWidget> owner;  // had the focus, inside this control
    bool userMoved = false;   // the user has put the focus somewhere since
};

namespace {

// The focus moves of disabled controls that may still be undone, and a watch for the user
// moving the focus meanwhile; the watch listens only while there are any.
class focus_returns final : public QObject {
public:
    static focus_returns& instance()
    {
        static auto* returns = new focus_returns;
        return *returns;
    }

    void add(const std::shared_ptr<Control::focus_return>& r)
    {
        prune();
        if (m_pending.empty()) qApp->installEventFilter(this);
        m_pending.push_back(r);
    }
    // A move of the focus not made by the user is still pending: the focus only passed here.
    bool passing()
    {
        prune();
        return std::any_of(m_pending.begin(), m_pending.end(), [](const auto& weak) {
            const auto r = weak.lock();
            return r && !r->userMoved;
        });
    }
    void prune()
    {
        std::erase_if(m_pending, [](const auto& r) { return r.expired(); });
        if (m_pending.empty()) qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // What the user does to move the focus: a click or Tab in the control's window. Qt moving
        // the focus away from a control it hides or disables looks like Tab, so focus events
        // cannot tell.
        const auto type = event->type();
        const bool tab = type == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab ||
                                                      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backtab);
        if ((type != QEvent::MouseButtonPress && !tab) || !watched->isWidgetType()) return false;
        const QWidget* window = static_cast<QWidget*>(watched)->window();
        for (const auto& weak : m_pending)
            if (const auto r = weak.lock(); r && r->owner && r->owner->window() == window) r->userMoved = true;
        return false;
    }

private:
    std::vector<std::weak_ptr<Control::focus_return>> m_pending;
};

}  // namespace

void Control::apply_enabled()
{
    QWidget* w = widget();
    if (!w) return;
    QWidget* focused = w->window()->focusWidget();
    const bool inside = focused && (focused == w || w->isAncestorOf(focused));
    auto& returns = focus_returns::instance();
    // Disabling moves the focus on; once enabled again, the control takes it back unless the user
    // has put it elsewhere meanwhile (a run's button gets it back when the run ends). Where the
    // focus only passed through (a row of buttons disabled together), the first one gets it back.
    if (!IsEnabled() && inside && !returns.passing()) {
        m_focusReturn = std::make_shared<focus_return>(focus_return{focused});
        returns.add(m_focusReturn);
    }
    w->setEnabled(IsEnabled());
    if (!IsEnabled()) return;
    const auto back = std::exchange(m_focusReturn, nullptr);
    returns.prune();
    if (back && back->owner && !back->userMoved && back->owner->isEnabled() && back->owner->isVisible())
        back->owner->setFocus(Qt::OtherFocusReason);
}

void Control::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == IsEnabledProperty()) {
        apply_enabled();
    } else if (p == ForegroundProperty()) {
        apply_foreground();
    } else if (p == BackgroundProperty()) {
        apply_background();
    } else if (p == FontSizeProperty()) {
        if (QWidget* w = widget()) {
            QFont font = w->font();
            font.setPixelSize(std::max(1, static_cast<int>(FontSize())));
            w->setFont(font);
            invalidate_layout();
        }
    } else if (p == PaddingProperty()) {
        if (QWidget* host = children_host(); host && host->layout()) {
            const auto t = Padding();
            host->layout()->setContentsMargins(static_cast<int>(t.Left), static_cast<int>(t.Top),
                                               static_cast<int>(t.Right), static_cast<int>(t.Bottom));
        }
        invalidate_layout();
    }
}

// ---- ContentControl ----

hstring content_text(const IInspectable& content)
{
    if (!content) return {};
    if (auto text = foundation::try_as<foundation::IReferenceValue<hstring>>(content)) return text->Value();
    if (auto value = foundation::try_as<foundation::IPropertyValue>(content)) {
        if (value->IsNumericScalar()) return foundation::to_hstring(value->GetDouble());
    }
    return {};
}

ContentControl::ContentControl() { set_widget(new QWidget); }

void ContentControl::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == ContentProperty()) present_content(args.OldValue(), args.NewValue());
}

void ContentControl::present_content(const IInspectable& before, const IInspectable& now)
{
    if (auto old = std::dynamic_pointer_cast<UIElement>(before)) detach_child(old);
    if (m_presenter) {
        detach_child(m_presenter);
        m_presenter.reset();
    }
    if (auto element = std::dynamic_pointer_cast<UIElement>(now)) {
        attach_child(element);
    } else if (now) {
        auto text = foundation::make<TextBlock>();
        text->Text(content_text(now));
        m_presenter = text;
        attach_child(text);
    }
}

// ---- UserControl ----

UserControl::UserControl() { set_widget(new QWidget); }

void UserControl::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == ContentProperty()) {
        if (auto old = std::dynamic_pointer_cast<UIElement>(args.OldValue())) detach_child(old);
        if (args.NewValue()) attach_child(foundation::as<UIElement>(args.NewValue()));
    }
}

void register_control_bases()
{
    metadata::type_builder(Control::class_name, FrameworkElement::class_name)
        .property(Control::IsEnabledProperty, {u"Boolean"}, box_value(true))
        .property(Control::ForegroundProperty, {u"Microsoft.UI.Xaml.Media.Brush"}, nullptr)
        .property(Control::BackgroundProperty, {u"Microsoft.UI.Xaml.Media.Brush"}, nullptr)
        .property(Control::FontSizeProperty, {u"Double"}, box_value(14.0))
        .property(Control::PaddingProperty, {u"Microsoft.UI.Xaml.Thickness"}, box_value(Thickness{}));
    metadata::type_builder(ContentControl::class_name, Control::class_name)
        .activatable<ContentControl>()
        .property(ContentControl::ContentProperty, {u"Object"}, nullptr)
        .content(u"Content");
    metadata::type_builder(UserControl::class_name, Control::class_name)
        .activatable<UserControl>()
        .property(UserControl::ContentProperty, {u"Microsoft.UI.Xaml.UIElement"}, nullptr)
        .content(u"Content");
    metadata::type_builder(Page::class_name, UserControl::class_name)
        .activatable<Page>();
}

}  // namespace xaml
