#pragma once
// ProgressRing: an indeterminate busy indicator that turns while IsActive is set.

#include "platform/xaml/controls/Control.h"

namespace xaml {

class ProgressRing final : public Control {
public:
    ProgressRing();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.ProgressRing"; }

    static const DependencyProperty& IsActiveProperty();
    bool IsActive() const { return get_value<bool>(*this, IsActiveProperty()); }
    void IsActive(bool value) { set_value(*this, IsActiveProperty(), value); }

    // Whether the ring is animating now: only while active and shown.
    bool is_turning() const;

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    void apply_active();
};

}  // namespace xaml
