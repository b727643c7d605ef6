#pragma once
// ProgressRing: an indeterminate busy indicator that turns while IsActive is set.

#include "platform/xaml/controls/Control.h"

namespace xaml {

class ProgressRing final : public Control {
public:
    ProgressRing();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ProgressRing")

    XAML_PROPERTY(bool, IsActive)

    // Whether the ring is animating now: only while active and shown.
    bool is_turning() const;

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    void apply_active();
};

}  // namespace xaml
