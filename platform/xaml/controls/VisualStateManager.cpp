#include "platform/xaml/controls/VisualStateManager.h"

#include "platform/xaml/core/metadata.h"

#include <QWidget>

#include <map>

namespace xaml {

Setter::Setter(hstring targetName, hstring propertyOwner, hstring propertyName, IInspectable value, bool valueIsText)
    : m_target(std::move(targetName)),
      m_owner(std::move(propertyOwner)),
      m_property(std::move(propertyName)),
      m_value(std::move(value)),
      m_valueIsText(valueIsText)
{
}

namespace {

using group_list = std::vector<std::shared_ptr<VisualStateGroup>>;

// Groups live beside their element, keyed by it; the element does not know them.
std::map<const FrameworkElement*, std::pair<std::weak_ptr<FrameworkElement>, group_list>>& all_groups()
{
    static std::map<const FrameworkElement*, std::pair<std::weak_ptr<FrameworkElement>, group_list>> groups;
    return groups;
}

group_list* groups_of(const std::shared_ptr<FrameworkElement>& element)
{
    auto& all = all_groups();
    const auto found = all.find(element.get());
    if (found == all.end() || found->second.first.lock() != element) return nullptr;
    return &found->second.second;
}

std::shared_ptr<FrameworkElement> find_target(const std::shared_ptr<FrameworkElement>& scope, const hstring& name)
{
    if (name.empty() || scope->Name() == name) return scope;
    return scope->FindName(name);
}

}  // namespace

std::vector<std::shared_ptr<VisualStateGroup>>& VisualStateManager::GetVisualStateGroups(
    const std::shared_ptr<FrameworkElement>& element)
{
    auto& all = all_groups();
    std::erase_if(all, [](const auto& entry) { return entry.second.first.expired(); });
    auto& entry = all[element.get()];
    if (entry.first.lock() != element) entry = {element, {}};
    return entry.second;
}

bool VisualStateManager::GoToState(const std::shared_ptr<Control>& control, const hstring& stateName, bool)
{
    if (!control) throw foundation::hresult_invalid_argument(u"GoToState needs a control");
    // The control's own groups first, then those of its content root.
    std::vector<std::shared_ptr<FrameworkElement>> holders{control};
    for (const auto& child : control->visual_children())
        if (auto fe = std::dynamic_pointer_cast<FrameworkElement>(child)) holders.push_back(fe);

    for (const auto& holder : holders) {
        group_list* groups = groups_of(holder);
        if (!groups) continue;
        for (const auto& group : *groups) {
            for (const auto& state : group->States) {
                if (state->Name != stateName) continue;
                if (group->m_current == state) return true;

                go_to(holder, *group, state);
                return true;
            }
        }
    }
    return false;
}

void VisualStateManager::go_to(const std::shared_ptr<FrameworkElement>& holder, VisualStateGroup& group,
                               const std::shared_ptr<VisualState>& state)
{
    // Undo the previous state, newest setter first.
    for (auto it = group.m_applied.rbegin(); it != group.m_applied.rend(); ++it) {
        auto target = it->target.lock();
        if (!target) continue;
        if (it->had_local) target->SetValue(it->property, it->previous);
        else target->ClearValue(it->property);
    }
    group.m_applied.clear();
    group.m_current = state;
    if (!state) return;

    for (const auto& setter : state->Setters) {
        auto target = find_target(holder, setter->target_name());
        if (!target) throw foundation::hresult_invalid_argument(u"No element is named " + setter->target_name());
        const hstring typeName = setter->property_owner().empty() ? target->GetRuntimeClassName() : setter->property_owner();
        const auto* type = metadata::find_type(typeName);
        const auto* member = type ? metadata::find_member(*type, setter->property_name()) : nullptr;
        if (!member || !member->property)
            throw foundation::hresult_invalid_argument(u"No property " + setter->property_name() + u" on " + typeName);
        IInspectable value = setter->value();
        if (setter->value_is_text()) value = metadata::convert_text(member->type, foundation::unbox_value<hstring>(value));
        group.m_applied.push_back({target, member->property, target->ReadLocalValue(member->property),
                                   target->HasLocalValue(member->property)});
        target->SetValue(member->property, value);
    }
}

void VisualStateManager::follow_triggers(const std::shared_ptr<FrameworkElement>& element)
{
    const std::weak_ptr<FrameworkElement> weak = element;
    auto evaluate = [weak] {
        const auto holder = weak.lock();
        group_list* groups = holder ? groups_of(holder) : nullptr;
        if (!groups || !holder->widget()) return;
        const QWidget* window = holder->widget()->window();
        for (const auto& group : *groups) {
            bool triggered = false;
            std::shared_ptr<VisualState> chosen;
            double widest = -1;
            for (const auto& state : group->States) {
                for (const auto& trigger : state->StateTriggers) {
                    triggered = true;
                    if (window->width() >= trigger->MinWindowWidth && window->height() >= trigger->MinWindowHeight &&
                        trigger->MinWindowWidth > widest) {
                        chosen = state;
                        widest = trigger->MinWindowWidth;
                    }
                }
            }
            if (triggered && chosen != group->m_current) go_to(holder, *group, chosen);
        }
    };
    element->Loaded([evaluate](const auto&, const auto&) { evaluate(); });
    element->SizeChanged([evaluate](const auto&, const auto&) { evaluate(); });
}

}  // namespace xaml
