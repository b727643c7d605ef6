#include "platform/xaml/controls/ToggleButton.h"

#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/metadata.h"

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace xaml {

using foundation::box_value;

namespace {

const TypeName toggle_type{u"Microsoft.UI.Xaml.Controls.Primitives.ToggleButton", TypeKind::Metadata};

// A Qt button whose state only the element sets: a click changes nothing by itself, and the
// whole button takes clicks, element content included.
template <class Base>
class toggle_widget final : public Base {
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

int indicator_indent(const QWidget* button, QStyle::PixelMetric indicator, QStyle::PixelMetric spacing)
{
    return button->style()->pixelMetric(indicator, nullptr, button) + button->style()->pixelMetric(spacing, nullptr, button);
}

}  // namespace

// ---- ToggleButton ----

const DependencyProperty& ToggleButton::IsCheckedProperty()
{
    static const auto p = DependencyProperty::Register(u"IsChecked", {u"Windows.Foundation.IReference`1<Boolean>"},
                                                       toggle_type, PropertyMetadata(box_value(false)));
    return p;
}

const DependencyProperty& ToggleButton::IsThreeStateProperty()
{
    static const auto p =
        DependencyProperty::Register(u"IsThreeState", {u"Boolean"}, toggle_type, PropertyMetadata(box_value(false)));
    return p;
}

ToggleButton::ToggleButton() : ToggleButton(new toggle_widget<QPushButton>(QSize(16, 8))) {}

ToggleButton::ToggleButton(QAbstractButton* button) : ButtonBase(button)
{
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
    return measure_beside_indicator(*this, indicator_indent(widget(), QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing));
}

void CheckBox::arrange_override(double x, double y, double width, double height)
{
    arrange_beside_indicator(*this, indicator_indent(widget(), QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing),
                             x, y, width, height);
}

// ---- RadioButton ----

const DependencyProperty& RadioButton::GroupNameProperty()
{
    static const auto p = DependencyProperty::Register(u"GroupName", {u"String"},
                                                       {u"Microsoft.UI.Xaml.Controls.RadioButton", TypeKind::Metadata},
                                                       PropertyMetadata(box_value(hstring{})));
    return p;
}

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
        *this, indicator_indent(widget(), QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing));
}

void RadioButton::arrange_override(double x, double y, double width, double height)
{
    arrange_beside_indicator(
        *this, indicator_indent(widget(), QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing), x,
        y, width, height);
}

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.Primitives.ToggleButton",
                           u"Microsoft.UI.Xaml.Controls.Primitives.ButtonBase")
        .activatable<ToggleButton>()
        .property(ToggleButton::IsCheckedProperty())
        .property(ToggleButton::IsThreeStateProperty());
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.CheckBox", u"Microsoft.UI.Xaml.Controls.Primitives.ToggleButton")
        .activatable<CheckBox>();
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.RadioButton", u"Microsoft.UI.Xaml.Controls.Primitives.ToggleButton")
        .activatable<RadioButton>()
        .property(RadioButton::GroupNameProperty());
    return true;
}();

}  // namespace

}  // namespace xaml
