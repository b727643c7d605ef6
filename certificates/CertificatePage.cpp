#include "certificates/CertificatePage.h"

#include "certificates/CertificateBuilders.h"
#include "certificates/CertificatePageBindings.h"
#include "platform/xaml/window/Application.h"

#include <cmath>
#include <ctime>

namespace Zintrel {

using foundation::as;
using foundation::IInspectable;

CertificatePage::CertificatePage(const certificate_page_layout& layout, std::shared_ptr<CertificateFormViewModel> (*makeForm)())
    : m_layout(layout), m_form(makeForm())
{
    // The page owns its Loaded event, so a plain pointer is safe here.
    Loaded({this, &CertificatePage::OnLoaded});
}

void CertificatePage::InitializeComponent()
{
    if (m_contentLoaded) return;
    m_contentLoaded = true;
    xaml::Application::LoadComponent(strong_self(), m_layout.markup);
}

void CertificatePage::Connect(std::int32_t id, const IInspectable& target)
{
    m_contentLoaded = true;
    const auto element = m_layout.element(id);
    if (!element) return;
    using enum CertificatePageElement;
    const auto weak = std::weak_ptr<CertificatePage>(get_strong(this));
    switch (*element) {
    case PemButton:
    case Pkcs12Button: as<xaml::ButtonBase>(target)->Click({weak, &CertificatePage::Generate}); break;
    case CommonNameCtrl: m_commonName = as<xaml::TextBox>(target); break;
    case AltNamesCtrl: m_altNames = as<xaml::TextBox>(target); break;
    case OrganizationCtrl: m_organization = as<xaml::TextBox>(target); break;
    case ForDigitalSigningCtrl: m_digitalSigning = as<xaml::RadioButton>(target); break;
    case ValidDaysCtrl:
        m_validDays = as<xaml::NumberBox>(target);
        // Beyond this the end of validity would pass the last year a certificate can name.
        m_validDays->Maximum(max_valid_days(std::time(nullptr)));
        m_validDays->ValueChanged([weak](const std::shared_ptr<xaml::NumberBox>& sender,
                                         const xaml::NumberBoxValueChangedEventArgs& args) {
            // A cleared box gets its previous number back.
            if (weak.lock() && std::isnan(args.NewValue())) sender->Value(args.OldValue());
        });
        break;
    default: break;
    }
}

std::shared_ptr<xaml::IComponentConnector> CertificatePage::GetBindingConnector(std::int32_t id, const IInspectable&)
{
    if (m_layout.element(id) != CertificatePageElement::Page) return nullptr;
    auto bindings = std::make_unique<CertificatePageBindings>(m_layout);
    auto* raw = bindings.get();
    bindings->SetDataRoot(strong_self());
    m_bindings = foundation::make<xaml::XamlBindings>(std::move(bindings));
    raw->set_self(m_bindings);
    m_bindings->InitializeOnLoading(std::static_pointer_cast<xaml::FrameworkElement>(get_strong(this)));
    return m_bindings;
}

void CertificatePage::OnLoaded(const IInspectable&, const xaml::RoutedEventArgs&)
{
    if (m_commonName) m_commonName->Focus(xaml::FocusState::Programmatic);
}

}  // namespace Zintrel
