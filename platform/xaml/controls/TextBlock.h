#pragma once
// TextBlock with Run inlines.

#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/core/brush.h"

class QLabel;

namespace xaml {

class TextBlock;

// A piece of text inside a TextBlock.
class Run final : public DependencyObject {
public:
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Documents.Run")
    XAML_PROPERTY(hstring, Text)

private:
    friend class TextBlock;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    std::weak_ptr<TextBlock> m_owner;
};

class TextBlock final : public FrameworkElement {
public:
    TextBlock();
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.TextBlock")

    static inline constinit property_slot FontWeightProperty{u"FontWeight"};
    static inline constinit property_slot FontFamilyProperty{u"FontFamily"};
    static inline constinit property_slot TextWrappingProperty{u"TextWrapping"};
    static inline constinit property_slot TextAlignmentProperty{u"TextAlignment"};
    static inline constinit property_slot IsTextSelectionEnabledProperty{u"IsTextSelectionEnabled"};

    // With inlines, the text is theirs joined.
    XAML_PROPERTY(hstring, Text)
    XAML_PROPERTY(std::shared_ptr<Brush>, Foreground)
    XAML_PROPERTY(double, FontSize)

    const std::vector<std::shared_ptr<Run>>& Inlines() const noexcept { return m_inlines; }
    void append_inline(const std::shared_ptr<Run>& run);

protected:
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;

private:
    friend class Run;
    void inlines_changed();
    QLabel* label() const;

    std::vector<std::shared_ptr<Run>> m_inlines;
};

}  // namespace xaml
