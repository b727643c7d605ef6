#include "checksums/OpenSslChecksumsPage.h"

#include "platform/xaml/core/metadata.h"

namespace Zintrel {

OpenSslChecksumsPage::OpenSslChecksumsPage()
    : ChecksumsPage([]() -> std::shared_ptr<ChecksumsViewModel> { return foundation::make<OpenSslChecksumsViewModel>(); },
                    u"ms-appx:///OpenSslChecksumsPage.xaml", u"ChosenAlgorithms")
{
    InitializeComponent();
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.OpenSslChecksumsPage", u"Microsoft.UI.Xaml.Controls.Page")
        .runtime_class<OpenSslChecksumsPage>();
    return true;
}();

}  // namespace

}  // namespace Zintrel
