#include "app/DialogHelpers.h"

namespace Zintrel {

foundation::IAsyncOperation<xaml::ContentDialogResult> ShowDialogAsync(std::shared_ptr<xaml::ContentDialog> dialog)
{
    // Held weakly: a window closed meanwhile takes its root along.
    const std::weak_ptr<xaml::XamlRoot> root = dialog->XamlRoot();
    for (;;) {
        foundation::IAsyncOperation<xaml::ContentDialogResult> shown;
        try {
            shown = dialog->ShowAsync();
        } catch (const foundation::hresult_error& e) {
            if (e.code() != xaml::E_ASYNC_OPERATION_NOT_STARTED) co_return xaml::ContentDialogResult::None;
        }
        if (shown) co_return co_await shown;
        foundation::IAsyncAction closed;
        if (const auto open_on = root.lock()) closed = xaml::ContentDialog::WhenNoneOpenAsync(open_on);
        else co_return xaml::ContentDialogResult::None;
        co_await closed;
    }
}

}  // namespace Zintrel
