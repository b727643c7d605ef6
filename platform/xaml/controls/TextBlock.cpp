#include "platform/xaml/controls/TextBlock.h"

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QLabel>

namespace xaml {

using foundation::box_value;

namespace {
const TypeName text_block_type{u"Microsoft.UI.Xaml.Controls.TextBlock", TypeKind::Metadata};
}

const DependencyProperty& Run::TextProperty()
{
    static const auto p = DependencyProperty::Register(u"Text", {u"String"}, {u"Microsoft.UI.Xaml.Documents.Run", TypeKind::Metadata},
                                                       PropertyMetadata(box_value(hstring{})));
    return p;
}

void Run::OnPropertyChanged(const DependencyPropertyChangedEventArgs&)
{
    if (auto owner = m_owner.lock()) owner->inlines_changed();
}

const DependencyProperty& TextBlock::TextProperty()
{
    static const auto p = DependencyProperty::Register(u"Text", {u"String"}, text_block_type, PropertyMetadata(box_value(hstring{})));
    return p;
}
const DependencyProperty& TextBlock::ForegroundProperty()
{
    static const auto p = DependencyProperty::Register(u"Foreground", {u"Microsoft.UI.Xaml.Media.Brush", TypeKind::Metadata},
                                                       text_block_type, PropertyMetadata(nullptr));
    return p;
}
const DependencyProperty& TextBlock::FontSizeProperty()
{
    static const auto p = DependencyProperty::Register(u"FontSize", {u"Double"}, text_block_type, PropertyMetadata(box_value(14.0)));
    return p;
}
const DependencyProperty& TextBlock::FontWeightProperty()
{
    // The weight as a number, 400 regular to 700 bold.
    static const auto p = DependencyProperty::Register(u"FontWeight", {u"Windows.UI.Text.FontWeight", TypeKind::Metadata}, text_block_type,
                                                       PropertyMetadata(box_value(std::int32_t{400})));
    return p;
}
const DependencyProperty& TextBlock::TextWrappingProperty()
{
    static const auto p = DependencyProperty::Register(u"TextWrapping", {u"Microsoft.UI.Xaml.TextWrapping", TypeKind::Metadata},
                                                       text_block_type, PropertyMetadata(box_value(TextWrapping::NoWrap)));
    return p;
}
const DependencyProperty& TextBlock::TextAlignmentProperty()
{
    static const auto p = DependencyProperty::Register(u"TextAlignment", {u"Microsoft.UI.Xaml.TextAlignment", TypeKind::Metadata},
                                                       text_block_type, PropertyMetadata(box_value(TextAlignment::Left)));
    return p;
}
const DependencyProperty& TextBlock::IsTextSelectionEnabledProperty()
{
    static const auto p = DependencyProperty::Register(u"IsTextSelectionEnabled", {u"Boolean"}, text_block_type,
                                                       PropertyMetadata(box_value(false)));
    return p;
}

TextBlock::TextBlock()
{
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(14);
    label->setFont(font);
    set_widget(label);
}

QLabel* TextBlock::label() const { return static_cast<QLabel*>(widget()); }

void TextBlock::append_inline(const std::shared_ptr<Run>& run)
{
    run->m_owner = std::static_pointer_cast<TextBlock>(strong_self());
    m_inlines.push_back(run);
    inlines_changed();
}

void TextBlock::inlines_changed()
{
    std::u16string text;
    for (const auto& run : m_inlines) text += run->Text().str();
    Text(hstring(std::move(text)));
}

void TextBlock::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    FrameworkElement::OnPropertyChanged(args);
    QLabel* l = label();
    if (!l) return;
    const auto& p = args.Property();
    if (p == TextProperty()) {
        l->setText(to_qstring(Text()));
        invalidate_layout();
    } else if (p == ForegroundProperty()) {
        apply_text_brush(l, Foreground());
    } else if (p == FontSizeProperty() || p == FontWeightProperty()) {
        QFont font = l->font();
        font.setPixelSize(std::max(1, static_cast<int>(FontSize())));
        font.setWeight(static_cast<QFont::Weight>(get_value<std::int32_t>(*this, FontWeightProperty())));
        l->setFont(font);
        invalidate_layout();
    } else if (p == TextWrappingProperty()) {
        l->setWordWrap(get_value<TextWrapping>(*this, TextWrappingProperty()) != TextWrapping::NoWrap);
        invalidate_layout();
    } else if (p == TextAlignmentProperty()) {
        const auto a = get_value<TextAlignment>(*this, TextAlignmentProperty());
        l->setAlignment((a == TextAlignment::Center  ? Qt::AlignHCenter
                         : a == TextAlignment::Right ? Qt::AlignRight
                                                     : Qt::AlignLeft) |
                        Qt::AlignVCenter);
    } else if (p == IsTextSelectionEnabledProperty()) {
        l->setTextInteractionFlags(get_value<bool>(*this, IsTextSelectionEnabledProperty())
                                       ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                       : Qt::NoTextInteraction);
    }
}

namespace {

const bool registered = [] {
    metadata::register_converter(u"FontWeight", [](std::u16string_view text) -> IInspectable {
        if (text == u"Normal") return box_value(std::int32_t{400});
        if (text == u"SemiBold") return box_value(std::int32_t{600});
        if (text == u"Bold") return box_value(std::int32_t{700});
        if (text == u"Light") return box_value(std::int32_t{300});
        return metadata::convert_text(u"Int32", text);
    });
    metadata::type_builder(u"Microsoft.UI.Xaml.Documents.Run", u"Microsoft.UI.Xaml.DependencyObject")
        .activatable<Run>()
        .property(Run::TextProperty())
        .content(u"Text");
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.TextBlock", u"Microsoft.UI.Xaml.FrameworkElement")
        .activatable<TextBlock>()
        .property(TextBlock::TextProperty())
        .property(TextBlock::ForegroundProperty())
        .property(TextBlock::FontSizeProperty())
        .property(TextBlock::FontWeightProperty())
        .property(TextBlock::TextWrappingProperty())
        .property(TextBlock::TextAlignmentProperty())
        .property(TextBlock::IsTextSelectionEnabledProperty())
        .collection(u"Inlines", [](const IInspectable& target, const IInspectable& value) {
            foundation::as<TextBlock>(target)->append_inline(foundation::as<Run>(value));
        })
        .content(u"Inlines");
    return true;
}();

}  // namespace

}  // namespace xaml
