#include "checksums/HashAlgo.h"

#include "platform/foundation/activation.h"
#include "platform/foundation/utf.h"

#include <openssl/evp.h>

namespace Zintrel {

namespace {

// Only made with a name or an algorithm, so the registry cannot make one by itself.
const foundation::class_registration registration{u"Zintrel.HashAlgo", nullptr};

}  // namespace

HashAlgo::HashAlgo(const EVP_MD* digest) : m_algorithm(digest)
{
    if (const char* name = EVP_MD_get0_name(digest)) m_shortName = foundation::utf::utf8_to_utf16(name);
    if (const char* description = EVP_MD_get0_description(digest))
        m_description = foundation::utf::utf8_to_utf16(description);
    // Tooltips show the description; a digest without one shows its name instead.
    if (m_description.empty()) m_description = m_shortName;
    // Last, so a failure above leaves no reference behind.
    EVP_MD_up_ref(const_cast<EVP_MD*>(digest));
}

HashAlgo::HashAlgo(std::shared_ptr<INonCryptoMAC> descriptor)
    : m_shortName(descriptor->ShortName()),
      m_description(descriptor->Description()),
      m_algorithm(std::move(descriptor))
{
}

HashAlgo::HashAlgo(foundation::hstring name)
    : m_shortName(std::move(name)), m_algorithm(static_cast<const EVP_MD*>(nullptr))
{
}

HashAlgo::~HashAlgo()
{
    if (const auto* digest = std::get_if<const EVP_MD*>(&m_algorithm); digest && *digest)
        EVP_MD_free(const_cast<EVP_MD*>(*digest));
}

void HashAlgo::Checked(bool value)
{
    if (m_checked == value) return;
    m_checked = value;
    RaisePropertyChanged(u"Checked");
}

void HashAlgo::Checksum(const foundation::hstring& value)
{
    m_checksum = value;
    RaisePropertyChanged(u"Checksum");
}

foundation::event_token HashAlgo::PropertyChanged(foundation::PropertyChangedEventHandler handler)
{
    return m_propertyChanged.add(std::move(handler));
}

void HashAlgo::PropertyChanged(foundation::event_token token) { m_propertyChanged.remove(token); }

void HashAlgo::RaisePropertyChanged(const char16_t* name)
{
    m_propertyChanged(strong_self(), foundation::PropertyChangedEventArgs(name));
}

}  // namespace Zintrel
