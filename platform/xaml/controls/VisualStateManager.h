#pragma once
// Visual states: named sets of property setters on the elements of a control's content.
// Going to a state undoes the setters of the group's previous state and applies the new ones.

#include "platform/xaml/controls/Control.h"

#include <vector>

namespace xaml {

// Sets one property of a named element (or of the element the groups are attached to, when the
// target name is empty) while its state is current. The property is looked up on the target's
// type when the state is applied; a text value is converted to the property's type then.
class Setter final : public foundation::Object {
public:
    Setter(hstring targetName, hstring propertyOwner, hstring propertyName, IInspectable value, bool valueIsText);
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Setter")

    const hstring& target_name() const noexcept { return m_target; }
    const hstring& property_owner() const noexcept { return m_owner; }  // full type name for attached properties
    const hstring& property_name() const noexcept { return m_property; }
    const IInspectable& value() const noexcept { return m_value; }
    bool value_is_text() const noexcept { return m_valueIsText; }

private:
    hstring m_target, m_owner, m_property;
    IInspectable m_value;
    bool m_valueIsText;
};

// Makes its state current while the window is at least this wide and this high.
class AdaptiveTrigger final : public foundation::Object {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.AdaptiveTrigger")
    double MinWindowWidth = 0;
    double MinWindowHeight = 0;
};

class VisualState final : public foundation::Object {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.VisualState")
    hstring Name;
    std::vector<std::shared_ptr<Setter>> Setters;
    std::vector<std::shared_ptr<AdaptiveTrigger>> StateTriggers;
};

class VisualStateGroup final : public foundation::Object {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.VisualStateGroup")
    hstring Name;
    std::vector<std::shared_ptr<VisualState>> States;
    std::shared_ptr<VisualState> CurrentState() const { return m_current; }

private:
    friend class VisualStateManager;
    struct applied {
        std::weak_ptr<DependencyObject> target;
        DependencyProperty property;
        IInspectable previous;  // the local value before the state, null when there was none
        bool had_local;
    };
    std::shared_ptr<VisualState> m_current;
    std::vector<applied> m_applied;
};

class VisualStateManager {
public:
    static constexpr std::u16string_view class_name = u"Microsoft.UI.Xaml.VisualStateManager";
    // The groups attached to an element (a control's content root, as markup places them).
    static std::vector<std::shared_ptr<VisualStateGroup>>& GetVisualStateGroups(const std::shared_ptr<FrameworkElement>& element);

    // Moves the control to the named state of one of its groups (found on the control or on its
    // content root); false when no group has such a state. A setter whose target or property
    // cannot be found fails with hresult_invalid_argument naming them.
    static bool GoToState(const std::shared_ptr<Control>& control, const hstring& stateName, bool useTransitions);

    // From the element's loading on, keeps each of its groups that has triggers in the state
    // whose active trigger asks for the widest window; none active leaves the group in no state.
    static void follow_triggers(const std::shared_ptr<FrameworkElement>& element);

private:
    static void go_to(const std::shared_ptr<FrameworkElement>& holder, VisualStateGroup& group,
                      const std::shared_ptr<VisualState>& state);
};

}  // namespace xaml
