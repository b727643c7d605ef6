#pragma once
// What the two certificate pages have in common: loading their markup, connecting the elements
// each page's layout names (keeping the ones the code reads, hooking the generate buttons), the
// binding object of the page root, and the focus on the common name when the page is shown.

#include "certificates/CertificateViewModels.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/Control.h"
#include "platform/xaml/markup/markup.h"
#include "platform/xaml/controls/NumberBox.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/markup/XamlBindings.h"

#include <optional>
#include <span>

namespace Zintrel {

// The elements of a certificate page that its code and its bindings use, each named as its
// x:Name (the page itself has none). The subject boxes stand in form order.
enum class CertificatePageElement : std::uint8_t {
    Page,
    PemButton,
    Pkcs12Button,
    PassphraseCtrl,
    KeyTypeCtrl,
    PurposeCtrl,
    ValidDaysCtrl,
    CommonNameCtrl,
    AltNamesCtrl,
    OrganizationCtrl,
    OrganizationalUnitCtrl,
    LocationCtrl,
    StateCtrl,
    CountryCodeCtrl,
    ForDigitalSigningCtrl,
};

// A page's markup and the connection id it gives each of those elements the page has.
struct certificate_page_layout {
    struct connection {
        std::int32_t id;
        CertificatePageElement element;
    };

    const char16_t* markup;  // "ms-appx:///…"
    std::span<const connection> connections;
    // The alternative names hide and the organization box moves up while digital signing is
    // chosen (the self-signed certificate names no host then).
    bool hides_alt_names;

    // The element of a connection id; none for an element only the markup uses.
    std::optional<CertificatePageElement> element(std::int32_t id) const noexcept
    {
        for (const auto& c : connections)
            if (c.id == id) return c.element;
        return std::nullopt;
    }
};

class CertificatePage : public xaml::Page, public xaml::IComponentConnector {
public:
    void InitializeComponent();

    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;
    std::shared_ptr<xaml::IComponentConnector> GetBindingConnector(std::int32_t connectionId,
                                                                   const foundation::IInspectable& target) override;

    const std::shared_ptr<xaml::TextBox>& CommonNameCtrl() const noexcept { return m_commonName; }
    const std::shared_ptr<xaml::RadioButton>& ForDigitalSigningCtrl() const noexcept { return m_digitalSigning; }
    const std::shared_ptr<xaml::TextBox>& AltNamesCtrl() const noexcept { return m_altNames; }
    const std::shared_ptr<xaml::TextBox>& OrganizationCtrl() const noexcept { return m_organization; }
    const std::shared_ptr<xaml::NumberBox>& ValidDaysCtrl() const noexcept { return m_validDays; }

    const std::shared_ptr<CertificateFormViewModel>& form() const noexcept { return m_form; }
    const certificate_page_layout& layout() const noexcept { return m_layout; }

protected:
    // Makes the view model once the page itself exists: a runtime object made before the page's
    // base would take the page's own reference.
    CertificatePage(const certificate_page_layout& layout, std::shared_ptr<CertificateFormViewModel> (*makeForm)());

    // The page's own generate run, started by a click on a generate button.
    virtual void Generate(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args) = 0;
    virtual void OnLoaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);

private:
    const certificate_page_layout& m_layout;
    std::shared_ptr<CertificateFormViewModel> m_form;
    bool m_contentLoaded = false;
    std::shared_ptr<xaml::XamlBindings> m_bindings;
    std::shared_ptr<xaml::TextBox> m_commonName, m_altNames, m_organization;
    std::shared_ptr<xaml::RadioButton> m_digitalSigning;
    std::shared_ptr<xaml::NumberBox> m_validDays;
};

}  // namespace Zintrel
