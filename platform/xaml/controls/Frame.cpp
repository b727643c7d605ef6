#include "platform/xaml/controls/Frame.h"

#include "platform/foundation/activation.h"
#include "platform/xaml/controls/registration.h"
#include "platform/xaml/core/metadata.h"

namespace xaml {

bool Frame::Navigate(const TypeName& page, const IInspectable&, const std::shared_ptr<NavigationTransitionInfo>&)
{
    std::shared_ptr<Page> created;
    foundation::hresult failure = foundation::S_OK;
    try {
        created = foundation::as<Page>(foundation::activation::activate(page.Name));
    } catch (...) {
        failure = foundation::to_hresult();
    }
    if (!created) {
        m_NavigationFailed(strong_self(), std::make_shared<NavigationFailedEventArgs>(failure, page));
        return false;
    }
    Content(created);
    m_current = page;
    return true;
}

void register_frame()
{
    metadata::type_builder(Frame::class_name, ContentControl::class_name)
        .activatable<Frame>();
}

}  // namespace xaml
