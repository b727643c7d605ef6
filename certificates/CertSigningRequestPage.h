#pragma once
// The certificate signing request page: a new key with a request for a certificate authority,
// saved as a PEM request with its key beside it.

#include "certificates/CertificatePage.h"

namespace Zintrel {

class CertSigningRequestPage final : public CertificatePage {
public:
    CertSigningRequestPage();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.CertSigningRequestPage"; }

    std::shared_ptr<CertSigningRequestViewModel> ViewModel() const
    {
        return std::static_pointer_cast<CertSigningRequestViewModel>(form());
    }

    void GenerateCsrAsync(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);

protected:
    void Generate(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args) override
    {
        GenerateCsrAsync(sender, args);
    }
};

}  // namespace Zintrel
