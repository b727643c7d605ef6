#pragma once
// ContentDialog: a window-modal dialog over the window of its XamlRoot, with a title, content
// and up to two buttons. ShowAsync returns at once; its operation completes when it closes.

#include "platform/foundation/async.h"
#include "platform/xaml/controls/Control.h"

#include <memory>
#include <optional>

class QDialog;
class QLabel;
class QPushButton;

namespace xaml {

enum class ContentDialogResult { None = 0, Primary = 1, Secondary = 2 };
enum class ContentDialogButton { None = 0, Primary = 1, Secondary = 2, Close = 3 };

// What the platform raises for a second dialog while one is open on the same XamlRoot.
constexpr foundation::hresult E_ASYNC_OPERATION_NOT_STARTED = static_cast<foundation::hresult>(0x80000019);

class ContentDialog final : public ContentControl {
public:
    ContentDialog();
    ~ContentDialog() override;
    RUNTIME_CLASS_NAME(u"Microsoft.UI.Xaml.Controls.ContentDialog")

    XAML_PROPERTY(IInspectable, Title)
    // A button exists only while its text is not empty.
    XAML_PROPERTY(hstring, CloseButtonText)
    XAML_PROPERTY(hstring, PrimaryButtonText)
    // The button that Enter presses and that has the focus when the dialog opens.
    XAML_PROPERTY(ContentDialogButton, DefaultButton)

    // The root whose window the dialog is modal to; it must be set before ShowAsync.
    std::shared_ptr<xaml::XamlRoot> XamlRoot() const { return m_root.lock(); }
    void XamlRoot(const std::shared_ptr<xaml::XamlRoot>& value) { m_root = value; }

    // Opens the dialog without waiting. The close button, Escape and closing the window give
    // None, the primary button Primary. Fails with hresult_invalid_argument without a XamlRoot
    // and with E_ASYNC_OPERATION_NOT_STARTED while a dialog is open on the same XamlRoot.
    foundation::IAsyncOperation<ContentDialogResult> ShowAsync();
    // Completes on the UI thread once the dialog open on the root has closed; at once when none is.
    static foundation::IAsyncAction WhenNoneOpenAsync(const std::shared_ptr<xaml::XamlRoot>& root);

    QDialog* dialog() const;
    // Null while the button has no text.
    QPushButton* close_button() const noexcept { return m_close; }
    QPushButton* primary_button() const noexcept { return m_primary; }

protected:
    QWidget* children_host() const override { return m_body; }
    void OnPropertyChanged(const DependencyPropertyChangedEventArgs& args) override;
    void present_content(const IInspectable& before, const IInspectable& now) override;

private:
    void closed();
    void show_button(QPushButton*& button, const hstring& text, ContentDialogResult result);

    QLabel* m_title = nullptr;
    QWidget* m_body = nullptr;
    QPushButton* m_primary = nullptr;
    QPushButton* m_close = nullptr;
    std::shared_ptr<UIElement> m_presenter;
    std::weak_ptr<xaml::XamlRoot> m_root;
    const xaml::XamlRoot* m_openOn = nullptr;
    struct qt_parts;  // Qt values, kept out of this header
    std::unique_ptr<qt_parts> m_qt;
    std::optional<foundation::async_source<ContentDialogResult>> m_pending;
    ContentDialogResult m_result = ContentDialogResult::None;
};

}  // namespace xaml
