#include "platform/xaml/controls/NumberBox.h"

#include "platform/globalization/IncrementNumberRounder.h"
#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/controls/key_filter.h"
#include "platform/xaml/controls/line_accessible.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <charconv>
#include <limits>

namespace xaml {

using foundation::box_value;

namespace {

// Twelve significant digits, so that 0.1 + 0.2 shows as 0.3.
double display_rounded(double value)
{
    if (!std::isfinite(value)) return value;
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 12);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

bool same_value(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

QToolButton* spin_button(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return button;
}

// Assistive technology reads the box as a spin button with its value and limits, and can still
// edit its text.
class number_accessible final : public line_accessible, public QAccessibleValueInterface {
public:
    number_accessible(accessible_line* line, NumberBox& box) : line_accessible(line, QAccessible::SpinBox), m_box(box) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return line_accessible::interface_cast(type);
    }
    // An empty box has no value.
    QVariant currentValue() const override { return std::isnan(m_box.Value()) ? QVariant() : QVariant(m_box.Value()); }
    void setCurrentValue(const QVariant& value) override
    {
        bool number = false;
        const double given = value.toDouble(&number);
        if (number) guard([&] { m_box.Value(given); });
    }
    QVariant maximumValue() const override { return m_box.Maximum(); }
    QVariant minimumValue() const override { return m_box.Minimum(); }
    QVariant minimumStepSize() const override { return m_box.SmallChange(); }

private:
    NumberBox& m_box;
};

// The box's editor; its element owns it and outlives it.
class number_line final : public accessible_line {
public:
    number_line(NumberBox& box, QWidget* parent) : accessible_line(parent), m_box(box) {}
    QAccessibleInterface* make_accessible() override { return new number_accessible(this, m_box); }

private:
    NumberBox& m_box;
};

}  // namespace

NumberBox::NumberBox() : m_defaultFormatter(foundation::make<globalization::DecimalFormatter>())
{
    m_defaultFormatter->IntegerDigits(1);
    m_defaultFormatter->FractionDigits(0);
    SetTypeDefault(NumberFormatterProperty(), m_defaultFormatter);

    const auto column = make_header_column();
    m_header = column.header;
    // The field and its buttons are the header's siblings, so that the header names them.
    auto* rowLayout = new QHBoxLayout;
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(2);
    m_line = new number_line(*this, column.box);
    m_up = spin_button(Qt::UpArrow, column.box);
    m_down = spin_button(Qt::DownArrow, column.box);
    m_up->setVisible(false);
    m_down->setVisible(false);
    name_spin_buttons();
    rowLayout->addWidget(m_line, 1);
    rowLayout->addWidget(m_up);
    rowLayout->addWidget(m_down);
    column.layout->addLayout(rowLayout);
    column.box->setFocusProxy(m_line);
    set_widget(column.box);
    track_input_of(m_line);
    update_spin_buttons();

    QObject::connect(m_line, &QLineEdit::editingFinished, m_line, [this] { guard([this] { validate_input(); }); });
    QObject::connect(m_up, &QToolButton::clicked, m_up, [this] { guard([this] { step_value(SmallChange()); }); });
    QObject::connect(m_down, &QToolButton::clicked, m_down, [this] { guard([this] { step_value(-SmallChange()); }); });
    m_line->installEventFilter(new key_filter(
        [this](QObject*, int key) {
            if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
            step_value(key == Qt::Key_Up ? SmallChange() : -SmallChange());
            return true;
        },
        m_line));
}

QWidget* NumberBox::focus_widget() const { return m_line; }

void NumberBox::apply_foreground() { apply_text_brush(m_line, Foreground()); }

std::shared_ptr<globalization::INumberFormatter2> NumberBox::NumberFormatter() const
{
    auto formatter = std::dynamic_pointer_cast<globalization::INumberFormatter2>(GetValue(NumberFormatterProperty()));
    return formatter ? formatter : m_defaultFormatter;
}

void NumberBox::NumberFormatter(const std::shared_ptr<globalization::INumberFormatter2>& value)
{
    if (!std::dynamic_pointer_cast<globalization::INumberParser>(value))
        throw foundation::hresult_invalid_argument(u"A number box needs a formatter that also parses numbers");
    SetValue(NumberFormatterProperty(), foundation::as_inspectable(value));
}

std::shared_ptr<globalization::INumberParser> NumberBox::parser() const
{
    auto parser = std::dynamic_pointer_cast<globalization::INumberParser>(GetValue(NumberFormatterProperty()));
    return parser ? parser : m_defaultFormatter;
}

void NumberBox::value_changed(double before)
{
    // Changes made while the change is being reported (by ValueChanged handlers) ride along.
    if (m_valueUpdating) return;
    const flag_scope updating(m_valueUpdating);
    coerce_value();
    const double now = Value();
    if (!same_value(before, now))
        m_ValueChanged(std::static_pointer_cast<NumberBox>(strong_self()), NumberBoxValueChangedEventArgs(before, now));
    update_text_to_value();
    update_spin_buttons();
    if (QAccessible::isActive()) {
        const double shown = Value();
        QAccessibleValueChangeEvent announce(m_line, std::isnan(shown) ? QVariant() : QVariant(shown));
        QAccessible::updateAccessibility(&announce);
    }
}

void NumberBox::coerce_value()
{
    const double value = Value();
    if (value > Maximum()) Value(Maximum());
    else if (value < Minimum()) Value(Minimum());
}

void NumberBox::validate_input()
{
    const QString text = m_line->text().trimmed();
    if (text.isEmpty()) {
        Value(std::numeric_limits<double>::quiet_NaN());
        return;
    }
    const auto parsed = parser()->ParseDouble(from_qstring(text));
    if (!parsed || *parsed == Value()) update_text_to_value();
    else Value(*parsed);
}

void NumberBox::update_text_to_value()
{
    const double value = Value();
    const hstring text = std::isnan(value) ? hstring{} : NumberFormatter()->FormatDouble(display_rounded(value));
    const QString shown = to_qstring(text);
    if (m_line->text() != shown) m_line->setText(shown);
    const flag_scope updating(m_textUpdating);
    Text(text);
}

void NumberBox::step_value(double change)
{
    // Text typed so far counts before the step.
    validate_input();
    const double value = Value();
    if (!std::isnan(value)) Value(value + change);
}

void NumberBox::name_spin_buttons()
{
    const QString header = to_qstring(content_text(Header()));
    m_up->setAccessibleName(header.isEmpty() ? QStringLiteral("Increase") : QStringLiteral("Increase ") + header);
    m_down->setAccessibleName(header.isEmpty() ? QStringLiteral("Decrease") : QStringLiteral("Decrease ") + header);
}

void NumberBox::update_spin_buttons()
{
    const double value = Value();
    m_up->setEnabled(!std::isnan(value) && value < Maximum());
    m_down->setEnabled(!std::isnan(value) && value > Minimum());
}

void NumberBox::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == ValueProperty()) {
        value_changed(foundation::unbox_value<double>(args.OldValue()));
    } else if (p == TextProperty()) {
        if (m_textUpdating) return;
        m_line->setText(to_qstring(Text()));
        validate_input();
    } else if (p == MinimumProperty()) {
        if (Maximum() < Minimum()) Maximum(Minimum());
        coerce_value();
        update_spin_buttons();
    } else if (p == MaximumProperty()) {
        if (Minimum() > Maximum()) Minimum(Maximum());
        coerce_value();
        update_spin_buttons();
    } else if (p == SpinButtonPlacementModeProperty()) {
        const bool shown = SpinButtonPlacementMode() != NumberBoxSpinButtonPlacementMode::Hidden;
        m_up->setVisible(shown);
        m_down->setVisible(shown);
        invalidate_layout();
    } else if (p == NumberFormatterProperty()) {
        update_text_to_value();
    } else if (show_header_or_placeholder(*this, p, m_header, m_line)) {
        name_spin_buttons();
        invalidate_layout();
    }
}

void register_number_box()
{
    using globalization::DecimalFormatter;
    using globalization::IncrementNumberRounder;
    using globalization::RoundingAlgorithm;
    metadata::register_enum<NumberBoxSpinButtonPlacementMode>(u"NumberBoxSpinButtonPlacementMode",
                                                              {{u"Hidden", NumberBoxSpinButtonPlacementMode::Hidden},
                                                               {u"Compact", NumberBoxSpinButtonPlacementMode::Compact},
                                                               {u"Inline", NumberBoxSpinButtonPlacementMode::Inline}});
    const TypeName number{u"Double"};
    metadata::type_builder(NumberBox::class_name, Control::class_name)
        .activatable<NumberBox>()
        .property(NumberBox::ValueProperty, number, box_value(std::numeric_limits<double>::quiet_NaN()))
        .property(NumberBox::TextProperty, {u"String"}, box_value(hstring{}))
        .property(NumberBox::MinimumProperty, number, box_value(std::numeric_limits<double>::lowest()))
        .property(NumberBox::MaximumProperty, number, box_value(std::numeric_limits<double>::max()))
        .property(NumberBox::SmallChangeProperty, number, box_value(1.0))
        .property(NumberBox::SpinButtonPlacementModeProperty, {u"Microsoft.UI.Xaml.Controls.NumberBoxSpinButtonPlacementMode"},
                  box_value(NumberBoxSpinButtonPlacementMode::Hidden))
        .property(NumberBox::HeaderProperty, {u"Object"}, nullptr)
        .property(NumberBox::PlaceholderTextProperty, {u"String"}, box_value(hstring{}))
        .checked_property(NumberBox::NumberFormatterProperty, {u"Object"}, nullptr,
                          [](const IInspectable& target, const IInspectable& value) {
                              foundation::as<NumberBox>(target)->NumberFormatter(
                                  std::dynamic_pointer_cast<globalization::INumberFormatter2>(value));
                          });

    // The formatter and rounder can be written in markup too.
    metadata::register_enum<RoundingAlgorithm>(
        u"RoundingAlgorithm",
        {{u"RoundDown", RoundingAlgorithm::RoundDown}, {u"RoundUp", RoundingAlgorithm::RoundUp},
         {u"RoundTowardsZero", RoundingAlgorithm::RoundTowardsZero}, {u"RoundAwayFromZero", RoundingAlgorithm::RoundAwayFromZero},
         {u"RoundHalfDown", RoundingAlgorithm::RoundHalfDown}, {u"RoundHalfUp", RoundingAlgorithm::RoundHalfUp},
         {u"RoundHalfTowardsZero", RoundingAlgorithm::RoundHalfTowardsZero},
         {u"RoundHalfAwayFromZero", RoundingAlgorithm::RoundHalfAwayFromZero},
         {u"RoundHalfToEven", RoundingAlgorithm::RoundHalfToEven}, {u"RoundHalfToOdd", RoundingAlgorithm::RoundHalfToOdd}});
    metadata::type_builder(u"Windows.Globalization.NumberFormatting.DecimalFormatter", u"")
        .activatable<DecimalFormatter>()
        .member(u"IntegerDigits", u"Int32", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<DecimalFormatter>(target)->IntegerDigits(foundation::unbox_value<std::int32_t>(value));
        })
        .member(u"FractionDigits", u"Int32", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<DecimalFormatter>(target)->FractionDigits(foundation::unbox_value<std::int32_t>(value));
        })
        .member(u"IsGrouped", u"Boolean", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<DecimalFormatter>(target)->IsGrouped(foundation::unbox_value<bool>(value));
        })
        .member(u"NumberRounder", u"Object", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<DecimalFormatter>(target)->NumberRounder(std::dynamic_pointer_cast<globalization::INumberRounder>(value));
        });
    metadata::type_builder(u"Windows.Globalization.NumberFormatting.IncrementNumberRounder", u"")
        .activatable<IncrementNumberRounder>()
        .member(u"RoundingAlgorithm", u"RoundingAlgorithm", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<IncrementNumberRounder>(target)->RoundingAlgorithm(foundation::unbox_value<RoundingAlgorithm>(value));
        })
        .member(u"Increment", u"Double", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<IncrementNumberRounder>(target)->Increment(foundation::unbox_value<double>(value));
        });
}

}  // namespace xaml
