#include "platform/xaml/controls/ToggleButton.h"

#include "platform/xaml/core/contrast.h"
#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

namespace xaml {

using foundation::box_value;

namespace {

// How a checked toggle button is painted: the accent, at least 3:1 against the unchecked face,
// and a text colour that reads on it.
struct toggle_colours {
    QColor fill;
    QColor text;
};
toggle_colours toggle_colours_for(const QPalette& palette, bool enabled);

// A Qt button whose state only the element sets: a click changes nothing by itself, and the
// whole button takes clicks, element content included.
template <class Base>
class toggle_widget : public Base {
public:
    // `around` is what the button adds around element content.
    explicit toggle_widget(QSize around) : m_around(around) {}

    QSize sizeHint() const override
    {
        QSize own = Base::sizeHint();
        if (this->layout() && this->text().isEmpty()) own = own.expandedTo(this->layout()->sizeHint() + m_around);
        return own;
    }

protected:
    void nextCheckState() override {}
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }

private:
    QSize m_around;
};

// A toggle button: checked, it is filled with the accent colour and shows a check mark, so the
// state reads at a glance in light and dark palettes alike.
class accent_toggle final : public toggle_widget<QPushButton> {
public:
    accent_toggle() : toggle_widget<QPushButton>(QSize(16, 8)) {}

    QSize sizeHint() const override
    {
        // Room for the check mark, whichever the state, so that toggling moves nothing.
        return toggle_widget<QPushButton>::sizeHint() + QSize(check_width(), 0);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!isChecked()) {
            toggle_widget<QPushButton>::paintEvent(event);
            return;
        }
        const toggle_colours colours = toggle_colours_for(palette(), isEnabled());
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QRectF frame = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(colours.fill);
        p.drawRoundedRect(frame, 4, 4);

        const QRect inner = rect().adjusted(8, 0, -8, 0);
        const int mark = check_width();
        const qreal unit = fontMetrics().height() / 4.0;
        const QPointF origin(inner.left() + unit * 0.5, rect().center().y() + 0.5);
        QPainterPath check;
        check.moveTo(origin + QPointF(0, 0));
        check.lineTo(origin + QPointF(unit * 0.9, unit * 0.9));
        check.lineTo(origin + QPointF(unit * 2.6, -unit * 1.1));
        p.setPen(QPen(colours.text, std::max(1.5, unit * 0.45), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(check);

        p.setPen(colours.text);
        p.setFont(font());
        p.drawText(inner.adjusted(mark, 0, 0, 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());

        // The focus is marked as on any button, around the accent.
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }

private:
    int check_width() const { return fontMetrics().height(); }
};

// Element content of a check box or radio button goes right of the indicator.
foundation::Size measure_beside_indicator(const UIElement& element, int indent)
{
    foundation::Size size;
    for (const auto& child : element.visual_children()) {
        const auto s = child->desired_size();
        size.Width = std::max(size.Width, s.Width);
        size.Height = std::max(size.Height, s.Height);
    }
    if (size.Width > 0) size.Width += static_cast<float>(indent);
    return size;
}

void arrange_beside_indicator(const UIElement& element, int indent, double x, double y, double width, double height)
{
    for (const auto& child : element.visual_children()) child->arrange_in(x + indent, y, std::max(0.0, width - indent), height);
}

// Where the style puts the label, right of the indicator and of any room the style leaves around it.
int indicator_indent(const QWidget* button, QStyle::SubElement label)
{
    QStyleOptionButton option;
    option.initFrom(button);
    return button->style()->subElementRect(label, &option, button).left();
}

// Assistive technology reads a toggle button as a button that is pressed or not (not as a check
// box), and a radio button as a radio button, also outside a Qt exclusive group.
class toggle_accessible final : public QAccessibleWidget {
public:
    toggle_accessible(QAbstractButton* button, QAccessible::Role role) : QAccessibleWidget(button, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty()) return QAccessibleWidget::text(t);
        return static_cast<QAbstractButton*>(widget())->text().remove(QLatin1Char('&'));
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const bool checked = static_cast<QAbstractButton*>(widget())->isChecked();
        s.checkable = true;
        s.checked = checked;
        if (role() == QAccessible::Button) s.pressed = checked;
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() || name == toggleAction()) static_cast<QAbstractButton*>(widget())->click();
        else QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* toggle_accessible_for(const QString&, QObject* object)
{
    if (auto* button = dynamic_cast<accent_toggle*>(object)) return new toggle_accessible(button, QAccessible::Button);
    if (auto* radio = dynamic_cast<toggle_widget<QRadioButton>*>(object)) return new toggle_accessible(radio, QAccessible::RadioButton);
    return nullptr;
}

}  // namespace

// ---- the chosen state's colours ----

namespace {

toggle_colours toggle_colours_for(const QPalette& palette, bool enabled)
{
    const QPalette::ColorGroup group = enabled ? QPalette::Active : QPalette::Disabled;
    // The unchecked face as the style paints it: the palette's button colour, lifted the more the
    // darker it is, under a slight gradient.
    QColor unchecked = palette.color(group, QPalette::Button);
    unchecked = unchecked.lighter(100 + std::max(1, (180 - qGray(unchecked.rgb())) / 6));
    QColor fill = palette.color(group, QPalette::Highlight);
    // The accent moves away from the unchecked face, darker on a light one and lighter on a dark
    // one, until the two differ by at least 3:1, with room for the gradient.
    const bool lighten = contrast_ratio(unchecked, Qt::white) > contrast_ratio(unchecked, Qt::black);
    auto step = [&](const QColor& c) { return lighten ? c.lighter(106) : c.darker(106); };
    for (int i = 0; i < 40 && contrast_ratio(fill, unchecked) < 3.6; ++i) fill = step(fill);
    // The accent's own text colour, the fill going a little further where that makes it read;
    // else black or white.
    QColor text = palette.color(group, QPalette::HighlightedText);
    for (int i = 0; i < 40 && contrast_ratio(text, fill) < 4.5 && contrast_ratio(text, step(fill)) > contrast_ratio(text, fill); ++i)
        fill = step(fill);
    if (contrast_ratio(text, fill) < 4.5)
        text = contrast_ratio(Qt::black, fill) >= contrast_ratio(Qt::white, fill) ? QColor(Qt::black) : QColor(Qt::white);
    if (!enabled) fill.setAlphaF(0.5);
    return {fill, text};
}

}  // namespace

// ---- ToggleButton ----

ToggleButton::ToggleButton() : ToggleButton(new accent_toggle) {}

ToggleButton::ToggleButton(QAbstractButton* button) : ButtonBase(button)
{
    // Installed once the application exists, so it comes before Qt's own widget factory.
    static const bool accessible = (QAccessible::installFactory(toggle_accessible_for), true);
    (void)accessible;
    button->setCheckable(true);
    // Other ways of toggling the widget (accessibility actions) reach the property too.
    QObject::connect(button, &QAbstractButton::toggled, button, [this](bool checked) {
        if (!m_showing) guard([&] { IsChecked(checked); });
    });
}

void ToggleButton::on_click()
{
    OnToggle();
    ButtonBase::on_click();
}

void ToggleButton::OnToggle()
{
    const auto state = IsChecked();
    if (state == true) IsChecked(IsThreeState() ? foundation::IReference<bool>() : false);
    else IsChecked(state.has_value());
}

void ToggleButton::show_state()
{
    const auto state = IsChecked();
    const flag_scope showing(m_showing);
    if (auto* box = qobject_cast<QCheckBox*>(button()))
        box->setCheckState(!state ? Qt::PartiallyChecked : *state ? Qt::Checked : Qt::Unchecked);
    else
        button()->setChecked(state.value_or(false));
}

void ToggleButton::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    ButtonBase::OnPropertyChanged(args);
    if (args.Property() != IsCheckedProperty()) return;
    show_state();
    RoutedEventArgs routed;
    routed.set_original_source(strong_self());
    const auto state = IsChecked();
    if (!state) m_Indeterminate(strong_self(), routed);
    else if (*state) m_Checked(strong_self(), routed);
    else m_Unchecked(strong_self(), routed);
}

// ---- CheckBox ----

CheckBox::CheckBox() : ToggleButton(new toggle_widget<QCheckBox>(QSize(0, 0))) {}

foundation::Size CheckBox::measure_override() const
{
    return measure_beside_indicator(*this, indicator_indent(widget(), QStyle::SE_CheckBoxContents));
}

void CheckBox::arrange_override(double x, double y, double width, double height)
{
    arrange_beside_indicator(*this, indicator_indent(widget(), QStyle::SE_CheckBoxContents),
                             x, y, width, height);
}

// ---- RadioButton ----

RadioButton::RadioButton() : ToggleButton(new toggle_widget<QRadioButton>(QSize(0, 0)))
{
    // Groups are the element's business, not the parent widget's.
    button()->setAutoExclusive(false);
}

void RadioButton::OnToggle() { IsChecked(true); }

void RadioButton::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    ToggleButton::OnPropertyChanged(args);
    if (args.Property() == IsCheckedProperty() && IsChecked() == true) {
        for (const auto& other : group())
            if (other.get() != this && other->IsChecked() == true) other->IsChecked(false);
    }
}

std::vector<std::shared_ptr<RadioButton>> RadioButton::group() const
{
    std::vector<std::shared_ptr<RadioButton>> members;
    const hstring name = GroupName();
    if (name.empty()) {
        if (auto parent = visual_parent())
            for (const auto& child : parent->visual_children())
                if (auto radio = std::dynamic_pointer_cast<RadioButton>(child); radio && radio->GroupName().empty())
                    members.push_back(radio);
        return members;
    }
    auto top = std::static_pointer_cast<UIElement>(strong_self());
    while (auto parent = top->visual_parent()) top = parent;
    auto collect = [&](auto&& self, const std::shared_ptr<UIElement>& element) -> void {
        if (auto radio = std::dynamic_pointer_cast<RadioButton>(element); radio && radio->GroupName() == name)
            members.push_back(radio);
        for (const auto& child : element->visual_children()) self(self, child);
    };
    collect(collect, top);
    return members;
}

foundation::Size RadioButton::measure_override() const
{
    return measure_beside_indicator(
        *this, indicator_indent(widget(), QStyle::SE_RadioButtonContents));
}

void RadioButton::arrange_override(double x, double y, double width, double height)
{
    arrange_beside_indicator(
        *this, indicator_indent(widget(), QStyle::SE_RadioButtonContents), x,
        y, width, height);
}

void register_toggle_button()
{
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.Primitives.ToggleButton",
                           u"Microsoft.UI.Xaml.Controls.Primitives.ButtonBase")
        .activatable<ToggleButton>()
        .property(ToggleButton::IsCheckedProperty, {u"Windows.Foundation.IReference`1<Boolean>"}, box_value(false))
        .property(ToggleButton::IsThreeStateProperty, {u"Boolean"}, box_value(false));
    metadata::type_builder(CheckBox::class_name, ToggleButton::class_name)
        .activatable<CheckBox>();
    metadata::type_builder(RadioButton::class_name, ToggleButton::class_name)
        .activatable<RadioButton>()
        .property(RadioButton::GroupNameProperty, {u"String"}, box_value(hstring{}));
}

}  // namespace xaml
