#pragma once
// The compiled bindings of a certificate page root: the form goes into the controls once, at
// the page's first Loading, and each control writes back into the view model (text boxes when
// they lose focus, the others on every change). The generate buttons follow the common name
// as it is typed, and the common name's header, tool tip and placeholder follow the choice of
// digital signing.

#include "certificates/CertificatePage.h"
#include "platform/xaml/controls/PasswordBox.h"
#include "platform/xaml/controls/RadioButtons.h"
#include "platform/xaml/controls/Selector.h"

#include <array>

namespace Zintrel {

class CertificatePageBindings final : public xaml::ReferenceTypeXamlBindings<CertificatePage> {
public:
    explicit CertificatePageBindings(const certificate_page_layout& layout) : m_layout(layout) {}

    // The wrapper that the page keeps: the write-back handlers hold it weakly.
    void set_self(const std::shared_ptr<xaml::XamlBindings>& self) { m_self = self; }

    void Connect(std::int32_t connectionId, const foundation::IInspectable& target) override;

protected:
    void UpdateFrom(const std::shared_ptr<CertificatePage>& page, std::uint32_t phase) override;
    void DependencyPropertyChanged(const std::shared_ptr<xaml::DependencyObject>& sender,
                                   const xaml::DependencyProperty& property) override;

private:
    // The subject boxes in form order: common name, alternative names, organization,
    // organizational unit, locality, state, country.
    static constexpr std::size_t text_count = 7;

    // Runs a write-back while the binding object lives and has had its first update, and its
    // page and view model are there.
    template <class F>
    static void with_form(const std::weak_ptr<xaml::XamlBindings>& self, F&& write);
    void connect_subject_box(CertificatePageElement element, const foundation::IInspectable& target);
    void mark_tracked_common_name();
    void mark_tracked_digital_signing();
    foundation::IInspectable digital_signing_state(const std::shared_ptr<CertificatePage>& page) const;

    const certificate_page_layout& m_layout;
    std::weak_ptr<xaml::XamlBindings> m_self;
    std::array<std::shared_ptr<xaml::Button>, 2> m_buttons;
    std::shared_ptr<xaml::PasswordBox> m_passphrase;
    std::shared_ptr<xaml::Selector> m_keyType;
    std::shared_ptr<xaml::RadioButtons> m_purpose;
    std::shared_ptr<xaml::NumberBox> m_validDays;
    std::array<std::shared_ptr<xaml::TextBox>, text_count> m_texts;
    std::weak_ptr<xaml::TextBox> m_trackedCommonName;
    std::weak_ptr<xaml::RadioButton> m_trackedDigitalSigning;
};

}  // namespace Zintrel
