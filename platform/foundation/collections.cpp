#include "platform/foundation/collections.h"

namespace foundation {

IInspectable PropertySet::Lookup(const hstring& key) const
{
    const auto found = m_values.find(key);
    if (found == m_values.end()) throw hresult_out_of_bounds(u"No value is stored under the key " + key);
    return found->second;
}

IInspectable PropertySet::TryLookup(const hstring& key) const
{
    const auto found = m_values.find(key);
    return found == m_values.end() ? nullptr : found->second;
}

bool PropertySet::Insert(const hstring& key, IInspectable value)
{
    check_value(key, value);
    const auto [where, inserted] = m_values.insert_or_assign(key, std::move(value));
    changed(inserted ? CollectionChange::ItemInserted : CollectionChange::ItemChanged, key);
    return !inserted;
}

void PropertySet::Remove(const hstring& key)
{
    if (m_values.erase(key) == 0) throw hresult_out_of_bounds(u"No value is stored under the key " + key);
    changed(CollectionChange::ItemRemoved, key);
}

void PropertySet::Clear()
{
    m_values.clear();
    changed(CollectionChange::Reset, hstring{});
}

void PropertySet::changed(CollectionChange change, const hstring& key)
{
    m_changed(std::static_pointer_cast<PropertySet>(strong_self()), IMapChangedEventArgs(change, key));
}

}  // namespace foundation
