#include "platform/xaml/controls/AutoSuggestBox.h"

#include "platform/xaml/core/AutomationProperties.h"
#include "platform/xaml/core/guard.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace xaml {

using foundation::box_value;

AutoSuggestBox::AutoSuggestBox()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_edit = new QLineEdit(box);
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumHeight(32);
    // The clear button is a control of its own; it needs its own name.
    for (auto* clear : m_edit->findChildren<QToolButton*>()) clear->setAccessibleName("Clear the search text");
    row->addWidget(m_edit);
    box->setFocusProxy(m_edit);
    set_widget(box);
    track_input_of(m_edit);
    // Every change that is not Text's own push is the user's: typed, emptied by the clear button,
    // or set by assistive technology (the last two never count as edits to the widget).
    QObject::connect(m_edit, &QLineEdit::textChanged, box, [this](const QString& text) {
        const hstring value = from_qstring(text);
        if (value == Text()) return;
        m_typing = true;
        guard([&] { Text(value); });
        m_typing = false;
    });
}

QWidget* AutoSuggestBox::focus_widget() const { return m_edit; }

void AutoSuggestBox::OnPropertyChanged(const DependencyPropertyChangedEventArgs& args)
{
    Control::OnPropertyChanged(args);
    if (args.Property() == TextProperty()) {
        const bool byUser = m_typing;
        if (!byUser && m_edit->text() != to_qstring(Text())) m_edit->setText(to_qstring(Text()));
        m_TextChanged(std::static_pointer_cast<xaml::AutoSuggestBox>(strong_self()),
                      AutoSuggestBoxTextChangedEventArgs(byUser ? AutoSuggestionBoxTextChangeReason::UserInput
                                                                : AutoSuggestionBoxTextChangeReason::ProgrammaticChange));
    } else if (args.Property() == PlaceholderTextProperty()) {
        m_edit->setPlaceholderText(to_qstring(PlaceholderText()));
        // Without a name of its own the field is known by what it asks for.
        if (get_value<hstring>(*this, AutomationProperties::NameProperty()).empty())
            m_edit->setAccessibleName(to_qstring(PlaceholderText()));
    }
}

void register_auto_suggest_box()
{
    metadata::type_builder(AutoSuggestBox::class_name, Control::class_name)
        .activatable<AutoSuggestBox>()
        .property(AutoSuggestBox::TextProperty, {u"String"}, box_value(hstring{}))
        .property(AutoSuggestBox::PlaceholderTextProperty, {u"String"}, box_value(hstring{}));
}

}  // namespace xaml
