#pragma once
// Only one dialog can be open over a window. A dialog that comes while another is open waits
// for it to close, so that a question never ends the program and a failure is never lost.

#include "platform/foundation/async.h"
#include "platform/xaml/controls/ContentDialog.h"

#include <memory>

namespace Zintrel {

// Shows the dialog as soon as no other is open on its XamlRoot, which must be set, and completes
// with its result when it closes. A dialog whose window has gone completes with None.
foundation::IAsyncOperation<xaml::ContentDialogResult> ShowDialogAsync(std::shared_ptr<xaml::ContentDialog> dialog);

}  // namespace Zintrel
