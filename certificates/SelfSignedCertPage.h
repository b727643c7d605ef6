#pragma once
// The self-signed certificate page: a new key with a certificate that signs itself, saved as a
// PEM certificate with its key beside it or as one PKCS#12 file.

#include "certificates/CertificatePage.h"

namespace Zintrel {

class SelfSignedCertPage final : public CertificatePage {
public:
    SelfSignedCertPage();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.SelfSignedCertPage"; }

    std::shared_ptr<SelfSignedCertViewModel> ViewModel() const
    {
        return std::static_pointer_cast<SelfSignedCertViewModel>(form());
    }

    // The generate buttons: the one tagged "PEM" writes the PEM pair, the other PKCS#12.
    void GenerateSelfSignedCertAsync(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);

protected:
    void Generate(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args) override
    {
        GenerateSelfSignedCertAsync(sender, args);
    }
    void OnLoaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args) override;
};

}  // namespace Zintrel
