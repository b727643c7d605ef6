#pragma once
// The page of the non-cryptographic checksums: XXH64, XXH3 and XXH128.

#include "checksums/ChecksumsPage.h"

namespace Zintrel {

class NonCryptoChecksumsPage final : public ChecksumsPage {
public:
    // Makes the view model, then loads the markup.
    NonCryptoChecksumsPage();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.NonCryptoChecksumsPage"; }

    std::shared_ptr<NonCryptoChecksumsViewModel> ViewModel() const
    {
        return std::static_pointer_cast<NonCryptoChecksumsViewModel>(ChecksumsPage::ViewModel());
    }
};

}  // namespace Zintrel
