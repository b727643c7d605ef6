#pragma once
// The page of the cryptographic checksums: every digest OpenSSL offers.

#include "checksums/ChecksumsPage.h"

namespace Zintrel {

class OpenSslChecksumsPage final : public ChecksumsPage {
public:
    // Makes the view model, then loads the markup.
    OpenSslChecksumsPage();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.OpenSslChecksumsPage"; }

    std::shared_ptr<OpenSslChecksumsViewModel> ViewModel() const
    {
        return std::static_pointer_cast<OpenSslChecksumsViewModel>(ChecksumsPage::ViewModel());
    }
};

}  // namespace Zintrel
