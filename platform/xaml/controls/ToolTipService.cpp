#include "platform/xaml/controls/ToolTipService.h"

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QTextDocument>
#include <QWidget>

namespace xaml {

namespace {

// The text a tool tip value shows: text and numbers as they are, a text block's text, a
// content control's content.
hstring tool_tip_text(const IInspectable& value)
{
    if (auto text = std::dynamic_pointer_cast<TextBlock>(value)) return text->Text();
    if (auto control = std::dynamic_pointer_cast<ContentControl>(value)) return tool_tip_text(control->Content());
    return content_text(value);
}

void tool_tip_changed(const std::shared_ptr<DependencyObject>& object, const DependencyPropertyChangedEventArgs& args)
{
    auto element = std::dynamic_pointer_cast<UIElement>(object);
    if (!element || !element->widget()) return;
    QString text = to_qstring(tool_tip_text(args.NewValue()));
    // Qt would read text that looks like markup as rich text; a tool tip shows its text as written.
    if (Qt::mightBeRichText(text)) text = QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
    element->widget()->setToolTip(text);
}

}  // namespace

IInspectable ToolTipService::GetToolTip(const std::shared_ptr<DependencyObject>& element)
{
    return foundation::as<DependencyObject>(element)->GetValue(ToolTipProperty());
}

void ToolTipService::SetToolTip(const std::shared_ptr<DependencyObject>& element, const IInspectable& value)
{
    foundation::as<DependencyObject>(element)->SetValue(ToolTipProperty(), value);
}

void register_tool_tip_service()
{
    metadata::type_builder(u"Microsoft.UI.Xaml.Controls.ToolTipService", u"")
        .attached(ToolTipService::ToolTipProperty, {u"Object"}, nullptr, tool_tip_changed);
}

}  // namespace xaml
