#pragma once
// The single-threaded observable vector and the property set.

#include "platform/foundation/boxing.h"
#include "platform/foundation/event.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <span>
#include <vector>

namespace foundation {

enum class CollectionChange {
    Reset = 0,
    ItemInserted = 1,
    ItemRemoved = 2,
    ItemChanged = 3,
};

class IVectorChangedEventArgs {
public:
    IVectorChangedEventArgs(foundation::CollectionChange change, std::uint32_t index) noexcept
        : m_change(change), m_index(index)
    {
    }
    foundation::CollectionChange CollectionChange() const noexcept { return m_change; }
    std::uint32_t Index() const noexcept { return m_index; }

private:
    foundation::CollectionChange m_change;
    std::uint32_t m_index;
};

using BindableVectorChangedEventHandler = delegate<IInspectable, IVectorChangedEventArgs>;

// The vector seen as a list of plain objects, as item lists in markup consume it.
class IBindableObservableVector {
public:
    virtual ~IBindableObservableVector() = default;
    virtual std::uint32_t Size() const = 0;
    virtual IInspectable GetObjectAt(std::uint32_t index) const = 0;
    virtual event_token BindableVectorChanged(BindableVectorChangedEventHandler handler) = 0;
    virtual void BindableVectorChanged(event_token token) = 0;
};

template <class T>
class IObservableVector;

template <class T>
using VectorChangedEventHandler = delegate<std::shared_ptr<IObservableVector<T>>, IVectorChangedEventArgs>;

// Every change raises VectorChanged once, on the thread that made it; ReplaceAll and Clear raise
// one Reset even when the contents stay the same.
template <class T>
class IObservableVector final : public Object, public IBindableObservableVector {
public:
    explicit IObservableVector(std::vector<T> values = {}) : m_values(std::move(values)) {}

    hstring GetRuntimeClassName() const override { return u"Windows.Foundation.Collections.IObservableVector`1"; }

    std::uint32_t Size() const override { return static_cast<std::uint32_t>(m_values.size()); }

    T GetAt(std::uint32_t index) const
    {
        check_index(index, m_values.size());
        return m_values[index];
    }

    bool IndexOf(const T& value, std::uint32_t& index) const
    {
        const auto found = std::find(m_values.begin(), m_values.end(), value);
        index = found == m_values.end() ? 0 : static_cast<std::uint32_t>(found - m_values.begin());
        return found != m_values.end();
    }

    std::uint32_t GetMany(std::uint32_t startIndex, std::span<T> items) const
    {
        if (startIndex > m_values.size()) throw hresult_out_of_bounds();
        const auto count = std::min<std::size_t>(items.size(), m_values.size() - startIndex);
        std::copy_n(m_values.begin() + startIndex, count, items.begin());
        return static_cast<std::uint32_t>(count);
    }

    void SetAt(std::uint32_t index, T value)
    {
        check_index(index, m_values.size());
        m_values[index] = std::move(value);
        changed(CollectionChange::ItemChanged, index);
    }

    void InsertAt(std::uint32_t index, T value)
    {
        check_index(index, m_values.size() + 1);
        m_values.insert(m_values.begin() + index, std::move(value));
        changed(CollectionChange::ItemInserted, index);
    }

    void RemoveAt(std::uint32_t index)
    {
        check_index(index, m_values.size());
        m_values.erase(m_values.begin() + index);
        changed(CollectionChange::ItemRemoved, index);
    }

    void Append(T value)
    {
        m_values.push_back(std::move(value));
        changed(CollectionChange::ItemInserted, Size() - 1);
    }

    void RemoveAtEnd()
    {
        if (m_values.empty()) throw hresult_out_of_bounds();
        RemoveAt(Size() - 1);
    }

    void Clear()
    {
        m_values.clear();
        changed(CollectionChange::Reset, 0);
    }

    void ReplaceAll(std::span<const T> values)
    {
        m_values.assign(values.begin(), values.end());
        changed(CollectionChange::Reset, 0);
    }
    void ReplaceAll(std::initializer_list<T> values) { ReplaceAll(std::span<const T>(values.begin(), values.size())); }
    void ReplaceAll(const std::vector<T>& values) { ReplaceAll(std::span<const T>(values)); }

    auto begin() const noexcept { return m_values.begin(); }
    auto end() const noexcept { return m_values.end(); }

    event_token VectorChanged(VectorChangedEventHandler<T> handler) { return m_changed.add(std::move(handler)); }
    void VectorChanged(event_token token) { m_changed.remove(token); }
    event_revoker VectorChanged(auto_revoke_t, VectorChangedEventHandler<T> handler)
    {
        return m_changed.add_revoker(std::move(handler));
    }

    IInspectable GetObjectAt(std::uint32_t index) const override { return box_value(GetAt(index)); }

    event_token BindableVectorChanged(BindableVectorChangedEventHandler handler) override
    {
        return m_changed.add([handler = std::move(handler)](const std::shared_ptr<IObservableVector<T>>& sender,
                                                            const IVectorChangedEventArgs& args) {
            handler(as_inspectable(sender), args);
        });
    }
    void BindableVectorChanged(event_token token) override { m_changed.remove(token); }

private:
    static void check_index(std::uint32_t index, std::size_t limit)
    {
        if (index >= limit) throw hresult_out_of_bounds();
    }

    void changed(CollectionChange change, std::uint32_t index)
    {
        m_changed(std::static_pointer_cast<IObservableVector<T>>(strong_self()), IVectorChangedEventArgs(change, index));
    }

    std::vector<T> m_values;
    event<VectorChangedEventHandler<T>> m_changed;
};

template <class T>
std::shared_ptr<IObservableVector<T>> single_threaded_observable_vector(std::vector<T> values = {})
{
    return make<IObservableVector<T>>(std::move(values));
}

class IMapChangedEventArgs {
public:
    IMapChangedEventArgs(foundation::CollectionChange change, hstring key) : m_change(change), m_key(std::move(key)) {}
    foundation::CollectionChange CollectionChange() const noexcept { return m_change; }
    const hstring& Key() const noexcept { return m_key; }

private:
    foundation::CollectionChange m_change;
    hstring m_key;
};

class PropertySet;
using MapChangedEventHandler = delegate<std::shared_ptr<PropertySet>, IMapChangedEventArgs>;

// String-keyed map of boxed values; composite values and settings containers build on it.
class PropertySet : public Object {
public:
    hstring GetRuntimeClassName() const override { return u"Windows.Foundation.Collections.PropertySet"; }

    std::uint32_t Size() const { return static_cast<std::uint32_t>(m_values.size()); }
    bool HasKey(const hstring& key) const { return m_values.contains(key); }
    // Fails with out-of-bounds for a missing key.
    IInspectable Lookup(const hstring& key) const;
    // Null for a missing key.
    IInspectable TryLookup(const hstring& key) const;
    // Returns whether an existing value was replaced.
    bool Insert(const hstring& key, IInspectable value);
    void Remove(const hstring& key);
    void Clear();

    auto begin() const noexcept { return m_values.begin(); }
    auto end() const noexcept { return m_values.end(); }

    event_token MapChanged(MapChangedEventHandler handler) { return m_changed.add(std::move(handler)); }
    void MapChanged(event_token token) { m_changed.remove(token); }

protected:
    // Refuses a value before it is stored; sets that hold only some kinds of values override it.
    virtual void check_value(const hstring&, const IInspectable&) const {}

private:
    void changed(CollectionChange change, const hstring& key);

    std::map<hstring, IInspectable> m_values;
    event<MapChangedEventHandler> m_changed;
};

using IPropertySet = PropertySet;

}  // namespace foundation
