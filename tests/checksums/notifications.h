#pragma once
// Records the property-change notifications a source raises.

#include "platform/foundation/notify.h"

#include <vector>

namespace test {

struct Notifications {
    std::vector<foundation::hstring> names;
    std::vector<foundation::IInspectable> senders;

    explicit Notifications(foundation::INotifyPropertyChanged& source)
    {
        source.PropertyChanged([this](const foundation::IInspectable& sender,
                                      const foundation::PropertyChangedEventArgs& args) {
            senders.push_back(sender);
            names.push_back(args.PropertyName());
        });
    }
};

}  // namespace test
