#pragma once
// Resource dictionaries: keyed values with merged dictionaries and light and dark theme dictionaries.

#include "platform/foundation/object.h"
#include "platform/xaml/core/types.h"

#include <map>
#include <memory>
#include <vector>

namespace xaml {

class ResourceDictionary : public foundation::Object {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.ResourceDictionary")

    bool HasKey(const hstring& key) const { return m_values.contains(key); }
    void Insert(const hstring& key, IInspectable value) { m_values.insert_or_assign(key, std::move(value)); }
    // The value of the key here; fails with out-of-bounds when it is missing.
    IInspectable Lookup(const hstring& key) const;
    std::uint32_t Size() const { return static_cast<std::uint32_t>(m_values.size()); }

    std::vector<std::shared_ptr<ResourceDictionary>>& MergedDictionaries() { return m_merged; }
    // "Light", "Dark" and "Default" dictionaries.
    std::map<hstring, std::shared_ptr<ResourceDictionary>>& ThemeDictionaries() { return m_themes; }

    // Looks the key up here, then in the dictionary of the theme, then in the merged ones
    // (last merged first); null when none has it.
    IInspectable find(const hstring& key, ElementTheme theme) const;

private:
    std::map<hstring, IInspectable> m_values;
    std::vector<std::shared_ptr<ResourceDictionary>> m_merged;
    std::map<hstring, std::shared_ptr<ResourceDictionary>> m_themes;
};

// The application's resources, the last place every look-up reaches.
std::shared_ptr<ResourceDictionary> application_resources();

}  // namespace xaml
