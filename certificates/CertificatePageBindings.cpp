#include "certificates/CertificatePageBindings.h"

#include "app/Helpers.h"
#include "certificates/NameText.h"
#include "platform/foundation/utf.h"
#include "platform/xaml/core/converters.h"
#include "platform/xaml/controls/RelativePanel.h"
#include "platform/xaml/controls/ToolTipService.h"

#include <algorithm>
#include <string>

namespace Zintrel {

using foundation::as;
using foundation::box_value;
using foundation::hstring;
using foundation::IInspectable;

namespace {

constexpr std::int32_t common_name_slot = 0;
constexpr std::int32_t digital_signing_slot = 1;

const hstring host_tool_tip = u"Fully qualified host name or path used in DNS lookups that the server will be running on";
const hstring person_tool_tip = u"The full name of the organization or the person";
const hstring example_host = u"www.example.com";

// The subject boxes in form order, each with the view-model property it shows.
using text_getter = hstring (CertificateFormViewModel::*)() const;
using text_setter = void (CertificateFormViewModel::*)(const hstring&);
struct subject_box {
    CertificatePageElement element;
    text_getter get;
    text_setter set;
};
using enum CertificatePageElement;
using form_view_model = CertificateFormViewModel;
constexpr subject_box subject_boxes[] = {
    {CommonNameCtrl, &form_view_model::CommonName, &form_view_model::CommonName},
    {AltNamesCtrl, &form_view_model::AltNames, &form_view_model::AltNames},
    {OrganizationCtrl, &form_view_model::Organization, &form_view_model::Organization},
    {OrganizationalUnitCtrl, &form_view_model::OrganizationalUnit, &form_view_model::OrganizationalUnit},
    {LocationCtrl, &form_view_model::Location, &form_view_model::Location},
    {StateCtrl, &form_view_model::State, &form_view_model::State},
    {CountryCodeCtrl, &form_view_model::CountryCode, &form_view_model::CountryCode},
};

hstring decimal(std::int32_t value)
{
    const std::string digits = std::to_string(value);
    return hstring(std::u16string(digits.begin(), digits.end()));
}

}  // namespace

template <class F>
void CertificatePageBindings::with_form(const std::weak_ptr<xaml::XamlBindings>& self, F&& write)
{
    const auto wrapper = self.lock();
    if (!wrapper) return;
    auto& bindings = static_cast<CertificatePageBindings&>(wrapper->bindings());
    if (!bindings.IsInitialized()) return;
    const auto page = bindings.DataRoot();
    if (!page || !page->form()) return;
    write(bindings, *page->form());
}

void CertificatePageBindings::Connect(std::int32_t id, const IInspectable& target)
{
    const auto element = m_layout.element(id);
    if (!element) return;
    const auto self = m_self;
    switch (*element) {
    case PemButton: m_buttons[0] = as<xaml::Button>(target); break;
    case Pkcs12Button: m_buttons[1] = as<xaml::Button>(target); break;
    case PassphraseCtrl:
        m_passphrase = as<xaml::PasswordBox>(target);
        m_passphrase->RegisterPropertyChangedCallback(xaml::PasswordBox::PasswordProperty(), [self](const auto&, const auto&) {
            with_form(self, [](CertificatePageBindings& b, CertificateFormViewModel& form) { form.Passphrase(b.m_passphrase->Password()); });
        });
        break;
    case KeyTypeCtrl:
        m_keyType = as<xaml::Selector>(target);
        m_keyType->RegisterPropertyChangedCallback(xaml::Selector::SelectedIndexProperty(), [self](const auto&, const auto&) {
            with_form(self, [](CertificatePageBindings& b, CertificateFormViewModel& form) { form.KeyTypeLabel(b.m_keyType->SelectedIndex()); });
        });
        break;
    case PurposeCtrl:
        m_purpose = as<xaml::RadioButtons>(target);
        m_purpose->RegisterPropertyChangedCallback(xaml::RadioButtons::SelectedIndexProperty(), [self](const auto&, const auto&) {
            with_form(self, [](CertificatePageBindings& b, CertificateFormViewModel& form) { form.Purpose(b.m_purpose->SelectedIndex()); });
        });
        break;
    case ValidDaysCtrl:
        m_validDays = as<xaml::NumberBox>(target);
        m_validDays->RegisterPropertyChangedCallback(xaml::NumberBox::TextProperty(), [self](const auto&, const auto&) {
            with_form(self, [](CertificatePageBindings& b, CertificateFormViewModel& form) {
                auto* self_signed = dynamic_cast<SelfSignedCertViewModel*>(&form);
                if (!self_signed) return;
                std::int32_t days;
                try {
                    days = foundation::unbox_value<std::int32_t>(xaml::XamlBindingHelper::ConvertValue(
                        {u"Int32", xaml::TypeKind::Primitive}, box_value(b.m_validDays->Text())));
                } catch (const foundation::hresult_error&) {
                    return;  // not a whole number: the days stay as they were
                }
                self_signed->ValidDays(days);
            });
        });
        break;
    case CommonNameCtrl:
    case AltNamesCtrl:
    case OrganizationCtrl:
    case OrganizationalUnitCtrl:
    case LocationCtrl:
    case StateCtrl:
    case CountryCodeCtrl: connect_subject_box(*element, target); break;
    default: break;
    }
}

void CertificatePageBindings::connect_subject_box(CertificatePageElement element, const IInspectable& target)
{
    static_assert(std::size(subject_boxes) == text_count);
    const auto box = std::ranges::find(subject_boxes, element, &subject_box::element);
    const auto index = static_cast<std::size_t>(box - std::begin(subject_boxes));
    m_texts[index] = as<xaml::TextBox>(target);
    m_texts[index]->LostFocus([self = m_self, index, set = box->set](const IInspectable&, const xaml::RoutedEventArgs&) {
        with_form(self, [index, set](CertificatePageBindings& b, CertificateFormViewModel& form) { (form.*set)(b.m_texts[index]->Text()); });
    });
}

void CertificatePageBindings::UpdateFrom(const std::shared_ptr<CertificatePage>& page, std::uint32_t phase)
{
    if (!page || !(phase & not_phased)) return;

    if (const auto& commonName = page->CommonNameCtrl()) {
        tracking().UpdateDependencyPropertyChangedListener(common_name_slot, commonName, xaml::TextBox::TextProperty());
        m_trackedCommonName = commonName;
    }
    if (const auto& form = page->form()) {
        if (m_passphrase) m_passphrase->Password(form->Passphrase());
        if (m_keyType) m_keyType->SelectedIndex(form->KeyTypeLabel());
        if (m_purpose) m_purpose->SelectedIndex(form->Purpose());
        if (const auto* self_signed = dynamic_cast<const SelfSignedCertViewModel*>(form.get()); self_signed && m_validDays)
            m_validDays->Text(decimal(self_signed->ValidDays()));
        for (std::size_t i = 0; const auto& box : subject_boxes)
            if (const auto& text = m_texts[i++]) text->Text((*form.*box.get)());
    }
    if (const auto& digitalSigning = page->ForDigitalSigningCtrl()) {
        tracking().UpdateDependencyPropertyChangedListener(digital_signing_slot, digitalSigning,
                                                           xaml::ToggleButton::IsCheckedProperty());
        m_trackedDigitalSigning = digitalSigning;
    }
    mark_tracked_common_name();
    mark_tracked_digital_signing();
    if (const auto& country = m_texts.back()) country->PlaceholderText(Helpers::SystemCountryCode());
    run_due();
}

void CertificatePageBindings::DependencyPropertyChanged(const std::shared_ptr<xaml::DependencyObject>& sender,
                                                        const xaml::DependencyProperty& property)
{
    if (sender == m_trackedCommonName.lock() && property == xaml::TextBox::TextProperty()) mark_tracked_common_name();
    else if (sender == m_trackedDigitalSigning.lock() && property == xaml::ToggleButton::IsCheckedProperty())
        mark_tracked_digital_signing();
    run_due();
}

IInspectable CertificatePageBindings::digital_signing_state(const std::shared_ptr<CertificatePage>& page) const
{
    return box_value(page->ForDigitalSigningCtrl()->IsChecked());
}

void CertificatePageBindings::mark_tracked_common_name()
{
    mark_due(u"Button.IsEnabled", [this] {
        const auto page = DataRoot();
        if (!page || !page->CommonNameCtrl()) return;
        // Blanks alone are no common name.
        const bool enabled = !without_blanks(foundation::utf::utf16_to_utf8(page->CommonNameCtrl()->Text())).empty();
        for (const auto& button : m_buttons)
            if (button) button->IsEnabled(enabled);
    });
}

void CertificatePageBindings::mark_tracked_digital_signing()
{
    // Each evaluation reads the check state and sets one property of one element.
    auto bind = [this](const char16_t* key, auto apply) {
        mark_due(key, [this, apply] {
            const auto page = DataRoot();
            if (!page || !page->ForDigitalSigningCtrl()) return;
            apply(*page, digital_signing_state(page));
        });
    };
    bind(u"CommonName.Header", [](CertificatePage& page, const IInspectable& checked) {
        if (page.CommonNameCtrl())
            page.CommonNameCtrl()->Header(box_value(Helpers::TriStateText(checked, u"", u"Issuer", u"Common Name")));
    });
    bind(u"CommonName.PlaceholderText", [](CertificatePage& page, const IInspectable& checked) {
        if (page.CommonNameCtrl()) page.CommonNameCtrl()->PlaceholderText(Helpers::TriStateText(checked, u"", u"", example_host));
    });
    bind(u"CommonName.ToolTip", [](CertificatePage& page, const IInspectable& checked) {
        if (page.CommonNameCtrl())
            xaml::ToolTipService::SetToolTip(page.CommonNameCtrl(),
                                             box_value(Helpers::TriStateText(checked, u"", person_tool_tip, host_tool_tip)));
    });
    if (!m_layout.hides_alt_names) return;
    bind(u"AltNames.Visibility", [](CertificatePage& page, const IInspectable& checked) {
        if (page.AltNamesCtrl()) page.AltNamesCtrl()->Visibility(Helpers::InverseBooleanToVisibility(checked));
    });
    bind(u"Organization.Placement", [](CertificatePage& page, const IInspectable& checked) {
        if (!page.OrganizationCtrl() || !page.AltNamesCtrl() || !page.CommonNameCtrl()) return;
        xaml::RelativePanel::SetBelow(page.OrganizationCtrl(),
                                      Helpers::TriStateChoice(checked, page.AltNamesCtrl(), page.CommonNameCtrl(),
                                                              page.AltNamesCtrl()));
    });
}

}  // namespace Zintrel
