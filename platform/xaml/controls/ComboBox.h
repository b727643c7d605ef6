#pragma once
// ComboBox: a drop-down list of text items under an optional header.

#include "platform/xaml/controls/Selector.h"

#include <vector>

class QComboBox;
class QLabel;

namespace xaml {

// An item of a ComboBox with its text as content.
class ComboBoxItem final : public ContentControl {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ComboBoxItem")
};

// Items are strings, ComboBoxItems or TextBlocks, shown by their text.
class ComboBox final : public Selector {
public:
    ComboBox();
    ~ComboBox() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ComboBox")

    XAML_PROPERTY(IInspectable, Header)
    // Shown while nothing is selected.
    XAML_PROPERTY(hstring, PlaceholderText)

    QComboBox* combo() const noexcept { return m_combo; }

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* focus_widget() const override;
    void apply_foreground() override;
    void show_items(const foundation::IVectorChangedEventArgs& change) override;
    void show_selection(std::int32_t index) override;

private:
    void watch_item_contents();
    void unwatch_item_contents();

    QLabel* m_header = nullptr;
    QComboBox* m_combo = nullptr;
    bool m_showing = false;
    struct watched_item {
        std::weak_ptr<ComboBoxItem> item;
        std::int64_t token;
    };
    std::vector<watched_item> m_watched;
};

}  // namespace xaml
