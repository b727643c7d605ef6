#include "certificates/CertSigningRequestPage.h"

#include "certificates/CertificateBuilders.h"
#include "certificates/GenerateRun.h"
#include "certificates/OutputFiles.h"
#include "platform/xaml/core/metadata.h"

namespace Zintrel {

using foundation::hstring;
using foundation::IInspectable;

namespace {

using enum CertificatePageElement;
constexpr certificate_page_layout::connection request_connections[] = {
    {1, Page},
    {4, PemButton},
    {8, PassphraseCtrl},
    {9, KeyTypeCtrl},
    {11, PurposeCtrl},
    {12, CommonNameCtrl},
    {13, AltNamesCtrl},
    {14, OrganizationCtrl},
    {15, OrganizationalUnitCtrl},
    {16, LocationCtrl},
    {17, StateCtrl},
    {18, CountryCodeCtrl},
    {19, ForDigitalSigningCtrl},
};
const certificate_page_layout request_layout{
    .markup = u"ms-appx:///CertSigningRequestPage.xaml",
    .connections = request_connections,
    .hides_alt_names = false,
};

}  // namespace

CertSigningRequestPage::CertSigningRequestPage()
    : CertificatePage(request_layout,
                      []() -> std::shared_ptr<CertificateFormViewModel> { return foundation::make<CertSigningRequestViewModel>(); })
{
    InitializeComponent();
}

void CertSigningRequestPage::GenerateCsrAsync(const IInspectable&, const xaml::RoutedEventArgs&)
{
    const auto page = std::static_pointer_cast<CertSigningRequestPage>(get_strong(this));
    // A request keeps its alternative names for every purpose: the authority decides.
    auto form = read_form(*ViewModel(), true);

    generate_plan plan;
    plan.failure_title = u"Failure generating Certificate Signing Request";
    plan.choice_name = u"PEM";
    plan.extensions = {u".csr"};
    plan.writes_key_file = true;
    plan.check = [form] { check_params(params_from<request_params>(*form)); };
    plan.make_and_write = [form](const std::filesystem::path& output) {
        auto [key, request] = make_certificate_request(params_from<request_params>(*form));
        return write_request_pair(*request, *key, output, form->passphrase->view());
    };
    run_generate(page, std::move(form), std::move(plan));
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.CertSigningRequestPage", u"Microsoft.UI.Xaml.Controls.Page")
        .runtime_class<CertSigningRequestPage>();
    return true;
}();

}  // namespace

}  // namespace Zintrel
