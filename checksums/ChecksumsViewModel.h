#pragma once
// The view models of the two checksum pages: the offered algorithms, the chosen ones and the
// size of the last file hashed. They differ only in what they offer. UI thread only.

#include "checksums/HashAlgo.h"
#include "platform/foundation/collections.h"

#include <cstdint>
#include <vector>

namespace Zintrel {

using HashAlgoVector = std::shared_ptr<foundation::IObservableVector<std::shared_ptr<HashAlgo>>>;

class ChecksumsViewModel : public foundation::Object, public foundation::INotifyPropertyChanged {
public:
    // Every offered algorithm, sorted by ShortName; its membership never changes.
    const HashAlgoVector& AvailableHashAlgos() const noexcept { return m_availableHashAlgos; }
    // The chosen algorithms, the same objects as in AvailableHashAlgos.
    const HashAlgoVector& HashAlgos() const noexcept { return m_hashAlgos; }

    // -1 while the size is not known.
    std::int64_t FileSize() const noexcept { return m_fileSize; }
    // Notifies only a change.
    void FileSize(std::int64_t value);

    foundation::event_token PropertyChanged(foundation::PropertyChangedEventHandler handler) override;
    void PropertyChanged(foundation::event_token token) override;

protected:
    ChecksumsViewModel();
    // Sorts the entries by the ordinal order of their ShortName and offers them.
    void Offer(std::vector<std::shared_ptr<HashAlgo>> entries);

private:
    HashAlgoVector m_availableHashAlgos;
    HashAlgoVector m_hashAlgos;
    std::int64_t m_fileSize{-1};
    foundation::event<foundation::PropertyChangedEventHandler> m_propertyChanged;
};

// Offers XXH64, XXH3 and XXH128.
class NonCryptoChecksumsViewModel final : public ChecksumsViewModel {
public:
    NonCryptoChecksumsViewModel();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.NonCryptoChecksumsViewModel"; }
};

// Offers every digest the loaded OpenSSL providers have that has a numeric identifier.
class OpenSslChecksumsViewModel final : public ChecksumsViewModel {
public:
    OpenSslChecksumsViewModel();
    foundation::hstring GetRuntimeClassName() const override { return u"Zintrel.OpenSslChecksumsViewModel"; }
};

}  // namespace Zintrel
