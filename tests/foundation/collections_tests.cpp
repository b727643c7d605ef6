#include "platform/foundation/collections.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <array>

using namespace foundation;

namespace {

struct recorded {
    CollectionChange change;
    std::uint32_t index;
    friend bool operator==(const recorded&, const recorded&) = default;
};

}  // namespace

TEST(ObservableVector, RaisesOneEventPerChange)
{
    auto vector = single_threaded_observable_vector<int>();
    std::vector<recorded> log;
    std::shared_ptr<IObservableVector<int>> sender;
    vector->VectorChanged([&](const std::shared_ptr<IObservableVector<int>>& s, const IVectorChangedEventArgs& args) {
        sender = s;
        log.push_back({args.CollectionChange(), args.Index()});
    });
    vector->Append(1);
    vector->Append(2);
    vector->InsertAt(0, 0);
    vector->SetAt(2, 5);
    vector->RemoveAt(1);
    vector->Clear();
    EXPECT_EQ(sender, vector);
    EXPECT_EQ(log, (std::vector<recorded>{{CollectionChange::ItemInserted, 0},
                                          {CollectionChange::ItemInserted, 1},
                                          {CollectionChange::ItemInserted, 0},
                                          {CollectionChange::ItemChanged, 2},
                                          {CollectionChange::ItemRemoved, 1},
                                          {CollectionChange::Reset, 0}}));
}

TEST(ObservableVector, ReplaceAllRaisesOneResetEvenForEqualContents)
{
    auto vector = single_threaded_observable_vector<int>({1, 2, 3});
    int events = 0;
    vector->VectorChanged([&](const auto&, const IVectorChangedEventArgs& args) {
        ++events;
        EXPECT_EQ(args.CollectionChange(), CollectionChange::Reset);
    });
    vector->ReplaceAll({1, 2, 3});
    EXPECT_EQ(events, 1);
    vector->ReplaceAll(std::vector<int>{});
    EXPECT_EQ(events, 2);
    EXPECT_EQ(vector->Size(), 0u);
}

TEST(ObservableVector, ReadsAndBounds)
{
    auto vector = single_threaded_observable_vector<int>({4, 5, 6});
    EXPECT_EQ(vector->GetAt(2), 6);
    EXPECT_THROW(vector->GetAt(3), hresult_out_of_bounds);
    EXPECT_THROW(vector->RemoveAt(3), hresult_out_of_bounds);
    std::uint32_t index = 99;
    EXPECT_TRUE(vector->IndexOf(5, index));
    EXPECT_EQ(index, 1u);
    EXPECT_FALSE(vector->IndexOf(7, index));
    std::array<int, 5> out{};
    EXPECT_EQ(vector->GetMany(1, out), 2u);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[1], 6);
    EXPECT_EQ(vector->GetMany(3, out), 0u);
}

TEST(ObservableVector, BindableViewBoxesItemsAndFollowsChanges)
{
    auto vector = single_threaded_observable_vector<hstring>({u"a"});
    auto bindable = as<IBindableObservableVector>(as_inspectable(vector));
    int events = 0;
    const auto token = bindable->BindableVectorChanged([&](const IInspectable& sender, const IVectorChangedEventArgs&) {
        ++events;
        EXPECT_EQ(sender, as_inspectable(vector));
    });
    vector->Append(u"b");
    EXPECT_EQ(bindable->Size(), 2u);
    EXPECT_EQ(unbox_value<hstring>(bindable->GetObjectAt(1)), u"b");
    bindable->BindableVectorChanged(token);
    vector->Clear();
    EXPECT_EQ(events, 1);
}

TEST(PropertySet, InsertReplaceLookupAndRemove)
{
    auto set = make<PropertySet>();
    std::vector<CollectionChange> changes;
    set->MapChanged([&](const auto&, const IMapChangedEventArgs& args) { changes.push_back(args.CollectionChange()); });
    EXPECT_FALSE(set->Insert(u"showCmd", PropertyValue::CreateUInt32(1)));
    EXPECT_TRUE(set->Insert(u"showCmd", PropertyValue::CreateUInt32(3)));
    EXPECT_EQ(unbox_value<std::uint32_t>(set->Lookup(u"showCmd")), 3u);
    EXPECT_EQ(set->TryLookup(u"missing"), nullptr);
    EXPECT_THROW(set->Lookup(u"missing"), hresult_out_of_bounds);
    set->Remove(u"showCmd");
    EXPECT_FALSE(set->HasKey(u"showCmd"));
    EXPECT_EQ(changes, (std::vector<CollectionChange>{CollectionChange::ItemInserted, CollectionChange::ItemChanged,
                                                      CollectionChange::ItemRemoved}));
}
