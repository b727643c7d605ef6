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
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Documents.Run"; }
    static const DependencyProperty& TextProperty();
    hstring Text() const { return get_value<hstring>(*this, TextProperty()); }
    void Text(const hstring& value) { set_value(*this, TextProperty(), value); }

private:
    friend class TextBlock;
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    std::weak_ptr<TextBlock> m_owner;
};

class TextBlock final : public FrameworkElement {
public:
    TextBlock();
    hstring GetRuntimeClassName() const override { return u"Microsoft.UI.Xaml.Controls.TextBlock"; }

    static const DependencyProperty& TextProperty();
    static const DependencyProperty& ForegroundProperty();
    static const DependencyProperty& FontSizeProperty();
    static const DependencyProperty& FontWeightProperty();
    static const DependencyProperty& FontFamilyProperty();
    static const DependencyProperty& TextWrappingProperty();
    static const DependencyProperty& TextAlignmentProperty();
    static const DependencyProperty& IsTextSelectionEnabledProperty();

    // With inlines, the text is theirs joined.
    hstring Text() const { return get_value<hstring>(*this, TextProperty()); }
    void Text(const hstring& value) { set_value(*this, TextProperty(), value); }
    std::shared_ptr<Brush> Foreground() const { return std::dynamic_pointer_cast<Brush>(GetValue(ForegroundProperty())); }
    void Foreground(const std::shared_ptr<Brush>& value) { SetValue(ForegroundProperty(), value); }
    double FontSize() const { return get_value<double>(*this, FontSizeProperty()); }
    void FontSize(double value) { set_value(*this, FontSizeProperty(), value); }

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
