#include "platform/xaml/core/resources.h"

namespace xaml {

IInspectable ResourceDictionary::Lookup(const hstring& key) const
{
    const auto found = m_values.find(key);
    if (found == m_values.end()) throw foundation::hresult_out_of_bounds(u"No resource has the key " + key);
    return found->second;
}

IInspectable ResourceDictionary::find(const hstring& key, ElementTheme theme) const
{
    if (const auto found = m_values.find(key); found != m_values.end()) return found->second;
    const hstring themeName = theme == ElementTheme::Dark ? u"Dark" : u"Light";
    for (const hstring& name : {themeName, hstring(u"Default")}) {
        if (const auto dict = m_themes.find(name); dict != m_themes.end() && dict->second)
            if (auto value = dict->second->find(key, theme)) return value;
    }
    for (auto it = m_merged.rbegin(); it != m_merged.rend(); ++it)
        if (*it)
            if (auto value = (*it)->find(key, theme)) return value;
    return nullptr;
}

std::shared_ptr<ResourceDictionary> application_resources()
{
    static const auto resources = foundation::make<ResourceDictionary>();
    return resources;
}

}  // namespace xaml
