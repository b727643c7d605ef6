#include "checksums/NonCryptoChecksumsPage.h"

#include "platform/xaml/core/metadata.h"

namespace Zintrel {

NonCryptoChecksumsPage::NonCryptoChecksumsPage()
    : ChecksumsPage([]() -> std::shared_ptr<ChecksumsViewModel> { return foundation::make<NonCryptoChecksumsViewModel>(); },
                    u"ms-appx:///NonCryptoChecksumsPage.xaml", u"ChosenNonCryptoAlgorithms")
{
    InitializeComponent();
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.NonCryptoChecksumsPage", u"Microsoft.UI.Xaml.Controls.Page")
        .runtime_class<NonCryptoChecksumsPage>();
    return true;
}();

}  // namespace

}  // namespace Zintrel
