#pragma once
// A component for MarkupTestPage.xaml, as generated page code would be: it keeps its named
// elements, records every connection, and makes binding objects for the item templates.

#include "platform/foundation/notify.h"
#include "platform/xaml/window/Application.h"
#include "platform/xaml/controls/Border.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/ComboBox.h"
#include "platform/xaml/controls/ContentDialog.h"
#include "platform/xaml/markup/ItemsRepeater.h"
#include "platform/xaml/controls/MenuFlyout.h"
#include "platform/xaml/controls/NumberBox.h"
#include "platform/xaml/controls/Grid.h"
#include "platform/xaml/controls/PasswordBox.h"
#include "platform/xaml/controls/RadioButtons.h"
#include "platform/xaml/controls/RelativePanel.h"
#include "platform/xaml/controls/ScrollViewer.h"
#include "platform/xaml/controls/TextBlock.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/controls/ToolTipService.h"
#include "platform/xaml/markup/XamlBindings.h"
#include "platform/xaml/core/converters.h"
#include "platform/xaml/core/metadata.h"

#include "tests/xaml/shown_root.h"

#include <utility>
#include <vector>

namespace markup_test {

using namespace xaml;
using foundation::as;
using foundation::box_value;
using foundation::hstring;
using foundation::IInspectable;
using foundation::make;

// An attached property of the program's own namespace, as markup writes local:Owner.Property.
struct TestHelpers {
    static constexpr std::u16string_view class_name = u"Zintrel.TestHelpers";
    XAML_ATTACHED(std::int32_t, Weight)
};

inline const bool test_helpers_registered = [] {
    metadata::type_builder(TestHelpers::class_name, u"").attached(TestHelpers::WeightProperty, {u"Int32"}, box_value(std::int32_t{0}));
    return true;
}();

// A list entry that raises PropertyChanged, as the view models' entries do.
class TestEntry final : public foundation::Object, public foundation::INotifyPropertyChanged {
public:
    explicit TestEntry(hstring name) : m_name(std::move(name)) {}
    hstring GetRuntimeClassName() const override { return u"Zintrel.TestEntry"; }

    hstring Name() const { return m_name; }
    void Name(const hstring& value)
    {
        if (value == m_name) return;
        m_name = value;
        raise(u"Name");
    }
    void raise(const hstring& property) { m_changed(strong_self(), foundation::PropertyChangedEventArgs(property)); }
    bool has_listeners() const { return static_cast<bool>(m_changed); }

    foundation::event_token PropertyChanged(foundation::PropertyChangedEventHandler handler) override
    {
        return m_changed.add(std::move(handler));
    }
    void PropertyChanged(foundation::event_token token) override { m_changed.remove(token); }

private:
    hstring m_name;
    foundation::event<foundation::PropertyChangedEventHandler> m_changed;
};

// A hand-written binding object for the algorithm template: the toggle shows its entry's name,
// one way.
class EntryBindings final : public ReferenceTypeXamlBindings<TestEntry> {
public:
    int evaluations = 0;

    void Connect(std::int32_t id, const IInspectable& target) override
    {
        if (id == 12) m_button = as<ToggleButton>(target);
    }

protected:
    void UpdateFrom(const std::shared_ptr<TestEntry>& root, std::uint32_t) override
    {
        tracking().UpdatePropertyChangedListener(0, root);
        if (!root) return;
        mark_due(u"Content", [this] { show_name(); });
        mark_due(u"Content", [this] { show_name(); });  // a second source of the same binding
        run_due();
    }

    void PropertyChanged(const IInspectable& sender, const foundation::PropertyChangedEventArgs& args) override
    {
        const auto root = DataRoot();
        if (!root || sender != root) return;
        if (args.PropertyName().empty() || args.PropertyName() == u"Name") mark_due(u"Content", [this] { show_name(); });
        run_due();
    }

private:
    void show_name()
    {
        ++evaluations;
        const auto button = m_button.lock();
        const auto root = DataRoot();
        if (button && root) button->Content(box_value(root->Name()));
    }

    std::weak_ptr<ToggleButton> m_button;  // the template root owns this object
};

// Records the connections it receives.
class RecordingConnector final : public IComponentConnector {
public:
    std::vector<std::int32_t> ids;
    void Connect(std::int32_t id, const IInspectable&) override { ids.push_back(id); }
    std::shared_ptr<IComponentConnector> GetBindingConnector(std::int32_t, const IInspectable&) override { return nullptr; }
};

class MarkupTestPage final : public Page, public IComponentConnector {
public:
    std::vector<std::pair<std::int32_t, hstring>> connections;  // id and the element's class
    std::shared_ptr<RecordingConnector> rootBindings;
    std::vector<std::shared_ptr<RecordingConnector>> rowBindings;
    std::vector<std::weak_ptr<XamlBindings>> entryBindings;
    int algorithmClicks = 0;

    std::shared_ptr<Grid> layoutRoot;
    std::shared_ptr<ColumnDefinition> labelColumn;
    std::shared_ptr<TextBlock> titleText;
    std::shared_ptr<Run> fileRun;
    std::shared_ptr<TextBox> fileNameBox;
    std::shared_ptr<Button> browseButton;
    std::shared_ptr<ItemsRepeater> algorithmList;
    std::shared_ptr<ItemsRepeater> resultList;
    std::shared_ptr<ComboBox> keyTypeList;
    std::shared_ptr<NumberBox> validDaysBox;
    std::shared_ptr<PasswordBox> passphraseBox;
    std::shared_ptr<RadioButtons> purposeChoice;
    std::shared_ptr<RadioButton> forDigitalSigning;
    std::shared_ptr<CheckBox> exportCheck;
    std::shared_ptr<Border> subjectBorder;
    std::shared_ptr<RelativePanel> subjectPanel;
    std::shared_ptr<TextBox> commonNameBox;
    std::shared_ptr<MenuFlyout> commonNameMenu;
    std::vector<std::shared_ptr<MenuFlyoutItem>> menuItems;
    std::shared_ptr<TextBox> organizationBox;
    std::shared_ptr<TextBlock> statusText;

    void InitializeComponent() { Application::LoadComponent(strong_self(), u"ms-appx:///MarkupTestPage.xaml"); }

    void Connect(std::int32_t id, const IInspectable& target) override
    {
        connections.emplace_back(id, target->GetRuntimeClassName());
        switch (id) {
        case 5: layoutRoot = as<Grid>(target); break;
        case 6: labelColumn = as<ColumnDefinition>(target); break;
        case 7: titleText = as<TextBlock>(target); break;
        case 8: fileRun = as<Run>(target); break;
        case 9: fileNameBox = as<TextBox>(target); break;
        case 10: browseButton = as<Button>(target); break;
        case 11: algorithmList = as<ItemsRepeater>(target); break;
        case 12:
            as<ToggleButton>(target)->Click([weak = std::weak_ptr<MarkupTestPage>(get_strong(this))](const IInspectable&, const RoutedEventArgs&) {
                if (auto page = weak.lock()) ++page->algorithmClicks;
            });
            break;
        case 13: resultList = as<ItemsRepeater>(target); break;
        case 14: keyTypeList = as<ComboBox>(target); break;
        case 15: validDaysBox = as<NumberBox>(target); break;
        case 16: passphraseBox = as<PasswordBox>(target); break;
        case 17: purposeChoice = as<RadioButtons>(target); break;
        case 18: forDigitalSigning = as<RadioButton>(target); break;
        case 19: exportCheck = as<CheckBox>(target); break;
        case 20: subjectBorder = as<Border>(target); break;
        case 21: subjectPanel = as<RelativePanel>(target); break;
        case 22: commonNameBox = as<TextBox>(target); break;
        case 23: commonNameMenu = as<MenuFlyout>(as<FlyoutBase>(target)); break;
        case 24:
        case 25: menuItems.push_back(as<MenuFlyoutItem>(target)); break;
        case 26: organizationBox = as<TextBox>(target); break;
        case 27: statusText = as<TextBlock>(target); break;
        default: break;
        }
    }

    std::shared_ptr<IComponentConnector> GetBindingConnector(std::int32_t id, const IInspectable& target) override
    {
        if (id == 1) return rootBindings = std::make_shared<RecordingConnector>();
        if (id == 2) return rowBindings.emplace_back(std::make_shared<RecordingConnector>());
        if (id == 12) {
            auto element = as<FrameworkElement>(target);
            auto bindings = make<XamlBindings>(std::make_unique<EntryBindings>());
            bindings->SetDataRoot(element->DataContext());
            bindings->SubscribeForDataContextChanged(element);
            XamlBindingHelper::SetDataTemplateComponent(element, bindings);
            entryBindings.push_back(bindings);
            return bindings;
        }
        return nullptr;
    }
};

inline std::shared_ptr<MarkupTestPage> load_test_page()
{
    auto page = make<MarkupTestPage>();
    page->InitializeComponent();
    return page;
}

inline EntryBindings& entry_bindings(const std::shared_ptr<UIElement>& element)
{
    auto component = XamlBindingHelper::GetDataTemplateComponent(element);
    return dynamic_cast<EntryBindings&>(as<XamlBindings>(foundation::as_inspectable(component))->bindings());
}

}  // namespace markup_test
