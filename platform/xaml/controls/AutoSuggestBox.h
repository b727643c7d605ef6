#pragma once
// AutoSuggestBox: the search box of the navigation pane.

#include "platform/xaml/controls/Control.h"
#include "platform/xaml/core/element_macros.h"

class QLineEdit;

namespace xaml {

enum class AutoSuggestionBoxTextChangeReason { UserInput = 0, ProgrammaticChange = 1, SuggestionChosen = 2 };

class AutoSuggestBoxTextChangedEventArgs {
public:
    explicit AutoSuggestBoxTextChangedEventArgs(AutoSuggestionBoxTextChangeReason reason) : m_reason(reason) {}
    AutoSuggestionBoxTextChangeReason Reason() const noexcept { return m_reason; }

private:
    AutoSuggestionBoxTextChangeReason m_reason;
};

class AutoSuggestBox final : public Control {
public:
    AutoSuggestBox();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.AutoSuggestBox")

    XAML_PROPERTY(hstring, Text)
    XAML_PROPERTY(hstring, PlaceholderText)

    using TextChangedHandler = foundation::TypedEventHandler<std::shared_ptr<AutoSuggestBox>, AutoSuggestBoxTextChangedEventArgs>;
    XAML_EVENT(TextChanged, TextChangedHandler)

    QLineEdit* editor() const noexcept { return m_edit; }

protected:
    foundation::event<TextChangedHandler> m_TextChanged;

    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    QWidget* focus_widget() const override;

private:
    QLineEdit* m_edit = nullptr;
    bool m_typing = false;
};

}  // namespace xaml
