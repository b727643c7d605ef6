#include "platform/xaml/markup/DataTemplate.h"

#include "platform/xaml/markup/markup_builder.h"

namespace xaml {

DataTemplate::DataTemplate(std::shared_ptr<const markup_detail::template_source> source) : m_source(std::move(source)) {}

DataTemplate::instance DataTemplate::instantiate(const std::shared_ptr<FrameworkElement>& host) const
{
    markup_detail::builder builder(m_source->doc, m_source->owner, host, m_source->dictionaries);
    try {
        instance made;
        made.root = foundation::as<UIElement>(builder.build(*m_source->content));
        builder.finish();
        // The component's Connect also takes the template's ids: handlers of item elements live there.
        if (auto component = foundation::try_as<IComponentConnector>(m_source->owner.lock()))
            made.connector = builder.connect(component);
        return made;
    } catch (const markup_detail::markup_error& error) {
        markup_detail::throw_located(*m_source->doc, error);
    }
}

}  // namespace xaml
