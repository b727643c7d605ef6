#include "platform/xaml/controls/ComboBox.h"

#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace xaml {

using foundation::box_value;

namespace {

const TypeName combo_type{u"Microsoft.UI.Xaml.Controls.ComboBox", TypeKind::Metadata};

hstring item_text(const IInspectable& item)
{
    if (auto content = std::dynamic_pointer_cast<ContentControl>(item)) return content_text(content->Content());
    if (auto text = std::dynamic_pointer_cast<TextBlock>(item)) return text->Text();
    return content_text(item);
}

}  // namespace

const DependencyProperty& ComboBox::HeaderProperty()
{
    static const auto p = DependencyProperty::Register(u"Header", {u"Object"}, combo_type, PropertyMetadata(nullptr));
    return p;
}

const DependencyProperty& ComboBox::PlaceholderTextProperty()
{
    static const auto p = DependencyProperty::Register(u"PlaceholderText", {u"String"}, combo_type,
                                                       PropertyMetadata(box_value(hstring{})));
    return p;
}

ComboBox::ComboBox()
{
    const auto column = make_header_column();
    m_header = column.header;
    m_combo = new QComboBox(column.box);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    column.layout->addWidget(m_combo);
    column.box->setFocusProxy(m_combo);
    set_widget(column.box);
    track_input_of(m_combo);
    // A drop-down takes the width of its items, not of its slot.
    SetTypeDefault(HorizontalAlignmentProperty(), box_value(HorizontalAlignment::Left));
    SetTypeDefault(VerticalAlignmentProperty(), box_value(VerticalAlignment::Top));

    QObject::connect(m_combo, &QComboBox::currentIndexChanged, m_combo, [this](int index) {
        if (!m_showing) guard([&] { SelectedIndex(index); });
    });
}

ComboBox::~ComboBox() { unwatch_item_contents(); }

QWidget* ComboBox::focus_widget() const { return m_combo; }

void ComboBox::apply_foreground() { apply_text_brush(m_combo, Foreground()); }

void ComboBox::show_items(const foundation::IVectorChangedEventArgs&)
{
    unwatch_item_contents();
    {
        const flag_scope showing(m_showing);
        m_combo->clear();
        for (const auto& item : *Items()) m_combo->addItem(to_qstring(item_text(item)));
    }
    watch_item_contents();
    invalidate_layout();
}

void ComboBox::show_selection(std::int32_t index)
{
    const flag_scope showing(m_showing);
    m_combo->setCurrentIndex(index);
}

// Item contents may be set after the item joined the list.
void ComboBox::watch_item_contents()
{
    auto weak = std::weak_ptr<ComboBox>(std::static_pointer_cast<ComboBox>(strong_self()));
    for (const auto& entry : *Items()) {
        auto item = std::dynamic_pointer_cast<ComboBoxItem>(entry);
        if (!item) continue;
        const auto token = item->RegisterPropertyChangedCallback(
            ContentControl::ContentProperty(), [weak](const std::shared_ptr<DependencyObject>& sender, const DependencyProperty&) {
                auto self = weak.lock();
                std::uint32_t index = 0;
                if (self && self->Items()->IndexOf(sender, index))
                    self->m_combo->setItemText(static_cast<int>(index), to_qstring(item_text(sender)));
            });
        m_watched.push_back({item, token});
    }
}

void ComboBox::unwatch_item_contents()
{
    for (const auto& [weak, token] : m_watched)
        if (auto item = weak.lock()) item->UnregisterPropertyChangedCallback(ContentControl::ContentProperty(), token);
    m_watched.clear();
}

void ComboBox::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Selector::OnPropertyChanged(args);
    const auto& p = args.Property();
    if (p == HeaderProperty()) {
        show_header(m_header, Header(), m_combo);
        invalidate_layout();
    } else if (p == PlaceholderTextProperty()) {
        m_combo->setPlaceholderText(to_qstring(PlaceholderText()));
        invalidate_layout();
    }
}

namespace {

const bool registered = [] {
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.ComboBox", u"Microsoft.UI.Xaml.Controls.Primitives.Selector")
        .activatable<ComboBox>()
        .property(ComboBox::HeaderProperty())
        .property(ComboBox::PlaceholderTextProperty());
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.ComboBoxItem", u"Microsoft.UI.Xaml.Controls.ContentControl")
        .activatable<ComboBoxItem>();
    return true;
}();

}  // namespace

}  // namespace xaml
