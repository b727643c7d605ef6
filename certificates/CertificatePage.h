#pragma once
// What the two certificate pages have in common: loading their markup, the Connect table that
// stores named elements and hooks the generate buttons, the binding object of the page root,
// and the focus on the common name when the page is shown.

#include "certificates/CertificateViewModels.h"
#include "platform/xaml/controls/Button.h"
#include "platform/xaml/controls/Control.h"
#include "platform/xaml/markup/markup.h"
#include "platform/xaml/controls/NumberBox.h"
#include "platform/xaml/controls/TextBox.h"
#include "platform/xaml/controls/ToggleButton.h"
#include "platform/xaml/markup/XamlBindings.h"

#include <map>

namespace Zintrel {

// Where a page's markup puts the elements its code and bindings use (connection ids; 0 for
// none on that page).
struct certificate_page_layout {
    const char16_t* markup;  // "ms-appx:///…"
    std::int32_t last_id;
    std::int32_t first_button;
    std::int32_t second_button;
    std::int32_t passphrase;     // PasswordBox
    std::int32_t key_type;       // a Selector: its index is the key-type index
    std::int32_t purpose;        // RadioButtons: its index is the purpose
    std::int32_t valid_days;     // NumberBox
    std::int32_t common_name;    // TextBox; the six other subject boxes follow it, in form order
    std::int32_t digital_signing;  // the purpose's RadioButton of index 1
    // The alternative names hide and the organization box moves up while digital signing is
    // chosen (the self-signed certificate names no host then).
    bool hides_alt_names;
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
    explicit CertificatePage(const certificate_page_layout& layout);
    // The page's view model, made in the page's constructor body: a runtime object made while
    // the page's base is being built would take the page's own reference.
    void set_form(std::shared_ptr<CertificateFormViewModel> form) { m_form = std::move(form); }

    // The page's own generate run, started by a click on a generate button.
    virtual void Generate(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args) = 0;
    virtual void OnLoaded(const foundation::IInspectable& sender, const xaml::RoutedEventArgs& args);

private:
    const certificate_page_layout& m_layout;
    std::shared_ptr<CertificateFormViewModel> m_form;
    bool m_contentLoaded = false;
    std::shared_ptr<xaml::XamlBindings> m_bindings;
    // Named elements by id; the ones the code reads also typed.
    std::map<std::int32_t, foundation::IInspectable> m_named;
    std::shared_ptr<xaml::TextBox> m_commonName, m_altNames, m_organization;
    std::shared_ptr<xaml::RadioButton> m_digitalSigning;
    std::shared_ptr<xaml::NumberBox> m_validDays;
};

}  // namespace Zintrel
