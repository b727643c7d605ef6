#pragma once
// One algorithm a checksum page offers: its names, the algorithm, whether the user chose it and
// its last result. Entries are read and changed on the UI thread; Algorithm never changes and
// may be read anywhere.

#include "checksums/NonCryptoHash.h"
#include "platform/foundation/notify.h"

#include <openssl/types.h>

#include <memory>
#include <variant>

namespace Zintrel {

// Alternative 0: an OpenSSL digest the entry holds one reference to (null for an entry made by
// name); alternative 1: a non-cryptographic descriptor.
using HashAlgorithm = std::variant<const EVP_MD*, std::shared_ptr<INonCryptoMAC>>;

class HashAlgo final : public foundation::Object, public foundation::INotifyPropertyChanged {
public:
    // Takes a reference of its own to the digest.
    explicit HashAlgo(const EVP_MD* digest);
    explicit HashAlgo(std::shared_ptr<INonCryptoMAC> descriptor);
    // An entry without an algorithm; nothing it computes has a checksum.
    explicit HashAlgo(foundation::hstring name);
    ~HashAlgo() override;

    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.HashAlgo"; }

    foundation::hstring ShortName() const { return m_shortName; }
    foundation::hstring Description() const { return m_description; }
    const HashAlgorithm& Algorithm() const noexcept { return m_algorithm; }

    bool Checked() const noexcept { return m_checked; }
    // Notifies only a change.
    void Checked(bool value);

    foundation::hstring Checksum() const { return m_checksum; }
    // Notifies every time, also when the text stays the same.
    void Checksum(const foundation::hstring& value);

    foundation::event_token PropertyChanged(foundation::PropertyChangedEventHandler handler) override;
    void PropertyChanged(foundation::event_token token) override;

private:
    void RaisePropertyChanged(const char16_t* name);

    foundation::hstring m_shortName;
    foundation::hstring m_description;
    HashAlgorithm m_algorithm;
    bool m_checked{false};
    foundation::hstring m_checksum;
    foundation::event<foundation::PropertyChangedEventHandler> m_propertyChanged;
};

}  // namespace Zintrel
