#include "certificates/SelfSignedCertPage.h"

#include "certificates/CertificateBuilders.h"
#include "certificates/GenerateRun.h"
#include "certificates/OutputFiles.h"
#include "platform/globalization/DecimalFormatter.h"
#include "platform/globalization/IncrementNumberRounder.h"
#include "platform/xaml/core/metadata.h"

namespace Zintrel {

using foundation::hstring;
using foundation::IInspectable;

namespace {

using enum CertificatePageElement;
constexpr certificate_page_layout::connection self_signed_connections[] = {
    {1, Page},
    {4, PemButton},
    {5, Pkcs12Button},
    {11, PassphraseCtrl},
    {12, KeyTypeCtrl},
    {14, PurposeCtrl},
    {15, ValidDaysCtrl},
    {16, CommonNameCtrl},
    {17, AltNamesCtrl},
    {18, OrganizationCtrl},
    {19, OrganizationalUnitCtrl},
    {20, LocationCtrl},
    {21, StateCtrl},
    {22, CountryCodeCtrl},
    {23, ForDigitalSigningCtrl},
};
const certificate_page_layout self_signed_layout{
    .markup = u"ms-appx:///SelfSignedCertPage.xaml",
    .connections = self_signed_connections,
    .hides_alt_names = true,
};

}  // namespace

SelfSignedCertPage::SelfSignedCertPage()
    : CertificatePage(self_signed_layout,
                      []() -> std::shared_ptr<CertificateFormViewModel> { return foundation::make<SelfSignedCertViewModel>(); })
{
    InitializeComponent();
}

void SelfSignedCertPage::OnLoaded(const IInspectable& sender, const xaml::RoutedEventArgs& args)
{
    auto rounder = foundation::make<globalization::IncrementNumberRounder>();
    rounder->RoundingAlgorithm(globalization::RoundingAlgorithm::RoundDown);
    auto formatter = foundation::make<globalization::DecimalFormatter>();
    formatter->FractionDigits(0);
    formatter->NumberRounder(rounder);
    if (ValidDaysCtrl()) ValidDaysCtrl()->NumberFormatter(formatter);
    CertificatePage::OnLoaded(sender, args);
}

void SelfSignedCertPage::GenerateSelfSignedCertAsync(const IInspectable& sender, const xaml::RoutedEventArgs&)
{
    const auto page = std::static_pointer_cast<SelfSignedCertPage>(get_strong(this));
    auto form = read_form(*ViewModel(), ViewModel()->Purpose() != 1);

    hstring tag;
    if (const auto element = std::dynamic_pointer_cast<xaml::FrameworkElement>(sender))
        tag = foundation::unbox_value_or<hstring>(element->Tag(), hstring());
    const bool pem = tag == u"PEM";

    generate_plan plan;
    plan.failure_title = u"Failure generating Self-Signed Certificate";
    plan.choice_name = pem ? u"PEM" : u"PKCS#12";
    plan.extensions = pem ? std::vector<hstring>{u".crt"} : std::vector<hstring>{u".pfx", u".p12"};
    plan.writes_key_file = pem;
    plan.check = [form] { check_params(params_from<certificate_params>(*form)); };
    plan.make_and_write = [form, pem](const std::filesystem::path& output) {
        auto [key, certificate] = make_self_signed_certificate(params_from<certificate_params>(*form));
        return pem ? write_pem_pair(*certificate, *key, output, form->passphrase->view())
                   : write_pkcs12(*certificate, *key, output, form->passphrase->view());
    };
    run_generate(page, std::move(form), std::move(plan));
}

namespace {

const bool registered = [] {
    xaml::metadata::type_builder(u"Zintrel.SelfSignedCertPage", u"Microsoft.UI.Xaml.Controls.Page")
        .runtime_class<SelfSignedCertPage>();
    return true;
}();

}  // namespace

}  // namespace Zintrel
