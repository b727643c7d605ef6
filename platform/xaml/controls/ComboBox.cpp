#include "platform/xaml/controls/ComboBox.h"

#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/core/flag_scope.h"
#include "platform/xaml/controls/header_column.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QVBoxLayout>

namespace xaml {

using foundation::box_value;

namespace {

hstring item_text(const IInspectable& item)
{
    if (auto content = std::dynamic_pointer_cast<ContentControl>(item)) return content_text(content->Content());
    if (auto text = std::dynamic_pointer_cast<TextBlock>(item)) return text->Text();
    return content_text(item);
}

// The drop-down of a ComboBox element.
class header_combo final : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        // The open list is read under the drop-down's own name.
        if (auto* self = QAccessible::queryAccessibleInterface(this))
            view()->setAccessibleName(self->text(QAccessible::Name));
        QComboBox::showPopup();
    }
};

// Assistive technology names a drop-down by its header (Qt names it by its current text on
// Linux) and reads the current text as its value. Its list is there only while it is open: a
// closed list shows nothing, and its items are no places to go.
class combo_accessible final : public QAccessibleWidget {
public:
    explicit combo_accessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return combo()->currentText();
        if (t != QAccessible::Name || !combo()->accessibleName().isEmpty()) return QAccessibleWidget::text(t);
        for (const auto* label : combo()->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (label->buddy() == combo()) return label->text();
        return combo()->currentText();
    }
    int childCount() const override { return combo()->view()->isVisible() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 && childCount() ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return childCount() && child && child->object() == combo()->view() ? 0 : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override { return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction() || name == pressAction()) combo()->showPopup();
        else QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* combo_accessible_for(const QString&, QObject* object)
{
    if (auto* combo = dynamic_cast<header_combo*>(object)) return new combo_accessible(combo);
    return nullptr;
}

}  // namespace

ComboBox::ComboBox()
{
    const auto column = make_header_column();
    m_header = column.header;
    // Installed once the application exists, so it comes before Qt's own widget factory.
    static const bool accessible = (QAccessible::installFactory(combo_accessible_for), true);
    (void)accessible;
    m_combo = new header_combo(column.box);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    column.layout->addWidget(m_combo);
    column.box->setFocusProxy(m_combo);
    set_widget(column.box);
    track_input_of(m_combo);
    // A drop-down takes the width of its items, not of its slot.
    SetTypeDefault(HorizontalAlignmentProperty(), box_value(HorizontalAlignment::Left));
    SetTypeDefault(VerticalAlignmentProperty(), box_value(VerticalAlignment::Top));

    QObject::connect(m_combo, &QComboBox::currentIndexChanged, m_combo, [this](int index) {
        // The list holds the current item as chosen, where assistive technology reads it; as a
        // selection, not as the list's current item, which would claim the focus.
        m_combo->view()->selectionModel()->select(m_combo->model()->index(index, m_combo->modelColumn()),
                                                  QItemSelectionModel::ClearAndSelect);
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

void register_combo_box()
{
    metadata::type_builder(ComboBox::class_name, Selector::class_name)
        .activatable<ComboBox>()
        .property(ComboBox::HeaderProperty, {u"Object"}, nullptr)
        .property(ComboBox::PlaceholderTextProperty, {u"String"}, box_value(hstring{}));
    metadata::type_builder(ComboBoxItem::class_name, ContentControl::class_name)
        .activatable<ComboBoxItem>();
}

}  // namespace xaml
