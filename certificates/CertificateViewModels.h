#pragma once
// The forms of the two certificate pages. Plain property bags: the bindings write them on the UI
// thread and the generate runs copy them once before they leave it, so nothing is notified.

#include "platform/foundation/object.h"

#include <cstdint>

namespace Zintrel {

// What both forms hold. KeyTypeLabel is an index into KeyTypeTable; Purpose is 1 digital
// signing, 2 client and 3 server authentication, anything else none. Neither is checked here.
class CertificateFormViewModel : public foundation::Object {
public:
    std::int32_t Purpose() const noexcept { return m_purpose; }
    void Purpose(std::int32_t value) noexcept { m_purpose = value; }
    foundation::hstring CommonName() const { return m_commonName; }
    void CommonName(const foundation::hstring& value) { m_commonName = value; }
    foundation::hstring AltNames() const { return m_altNames; }
    void AltNames(const foundation::hstring& value) { m_altNames = value; }
    foundation::hstring Organization() const { return m_organization; }
    void Organization(const foundation::hstring& value) { m_organization = value; }
    foundation::hstring OrganizationalUnit() const { return m_organizationalUnit; }
    void OrganizationalUnit(const foundation::hstring& value) { m_organizationalUnit = value; }
    foundation::hstring Location() const { return m_location; }
    void Location(const foundation::hstring& value) { m_location = value; }
    foundation::hstring State() const { return m_state; }
    void State(const foundation::hstring& value) { m_state = value; }
    foundation::hstring CountryCode() const { return m_countryCode; }
    void CountryCode(const foundation::hstring& value) { m_countryCode = value; }
    std::int32_t KeyTypeLabel() const noexcept { return m_keyTypeLabel; }
    void KeyTypeLabel(std::int32_t value) noexcept { m_keyTypeLabel = value; }
    // Empty means the private key is written unencrypted.
    foundation::hstring Passphrase() const { return m_passphrase; }
    void Passphrase(const foundation::hstring& value) { m_passphrase = value; }

protected:
    explicit CertificateFormViewModel(std::int32_t keyTypeLabel) noexcept : m_keyTypeLabel(keyTypeLabel) {}

private:
    std::int32_t m_purpose{0};
    foundation::hstring m_commonName;
    foundation::hstring m_altNames;
    foundation::hstring m_organization;
    foundation::hstring m_organizationalUnit;
    foundation::hstring m_location;
    foundation::hstring m_state;
    foundation::hstring m_countryCode;
    std::int32_t m_keyTypeLabel;
    foundation::hstring m_passphrase;
};

// Starts on RSA 2048 with a year of validity.
class SelfSignedCertViewModel final : public CertificateFormViewModel {
public:
    SelfSignedCertViewModel() noexcept : CertificateFormViewModel(0) {}
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.SelfSignedCertViewModel"; }

    // Whole days from now to the end of validity.
    std::int32_t ValidDays() const noexcept { return m_validDays; }
    // A value below 1 is stored as 1; the upper limit is the certificate builder's to enforce.
    void ValidDays(std::int32_t value) noexcept { m_validDays = value < 1 ? 1 : value; }

private:
    std::int32_t m_validDays{365};
};

// Starts on RSA 4096.
class CertSigningRequestViewModel final : public CertificateFormViewModel {
public:
    CertSigningRequestViewModel() noexcept : CertificateFormViewModel(2) {}
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.CertSigningRequestViewModel"; }
};

}  // namespace Zintrel
