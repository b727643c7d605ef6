#include "checksums/ChecksumsViewModel.h"

#include "platform/foundation/activation.h"

#include <openssl/evp.h>

#include <algorithm>
#include <exception>

namespace Zintrel {

namespace {

const foundation::class_registration nonCryptoRegistration{
    u"Zintrel.NonCryptoChecksumsViewModel", foundation::activator_of<NonCryptoChecksumsViewModel>()};
const foundation::class_registration openSslRegistration{
    u"Zintrel.OpenSslChecksumsViewModel", foundation::activator_of<OpenSslChecksumsViewModel>()};

struct ProvidedDigests {
    std::vector<std::shared_ptr<HashAlgo>> entries;
    std::exception_ptr failure;
};

// Called by OpenSSL for every provided digest; an exception must not cross the library's frames,
// so the first failure is kept and rethrown once the walk is over.
void AddProvidedDigest(EVP_MD* digest, void* context)
{
    auto& provided = *static_cast<ProvidedDigests*>(context);
    if (provided.failure || EVP_MD_get_type(digest) == 0) return;
    try {
        provided.entries.push_back(foundation::make<HashAlgo>(static_cast<const EVP_MD*>(digest)));
    } catch (...) {
        provided.failure = std::current_exception();
    }
}

// UTF-16 code units compared as unsigned numbers, a prefix first; no case folding, no locale.
// char16_t is unsigned, so the standard comparison is that one.
bool OrdinalLess(std::u16string_view left, std::u16string_view right) noexcept { return left < right; }

}  // namespace

ChecksumsViewModel::ChecksumsViewModel()
    : m_availableHashAlgos(foundation::single_threaded_observable_vector<std::shared_ptr<HashAlgo>>()),
      m_hashAlgos(foundation::single_threaded_observable_vector<std::shared_ptr<HashAlgo>>())
{
}

void ChecksumsViewModel::Offer(std::vector<std::shared_ptr<HashAlgo>> entries)
{
    std::sort(entries.begin(), entries.end(), [](const auto& left, const auto& right) {
        return OrdinalLess(left->ShortName(), right->ShortName());
    });
    m_availableHashAlgos->ReplaceAll(entries);
}

void ChecksumsViewModel::FileSize(std::int64_t value)
{
    if (m_fileSize == value) return;
    m_fileSize = value;
    m_propertyChanged(strong_self(), foundation::PropertyChangedEventArgs(u"FileSize"));
}

foundation::event_token ChecksumsViewModel::PropertyChanged(foundation::PropertyChangedEventHandler handler)
{
    return m_propertyChanged.add(std::move(handler));
}

void ChecksumsViewModel::PropertyChanged(foundation::event_token token) { m_propertyChanged.remove(token); }

NonCryptoChecksumsViewModel::NonCryptoChecksumsViewModel()
{
    Offer({foundation::make<HashAlgo>(std::make_shared<XXH64_MAC>()),
           foundation::make<HashAlgo>(std::make_shared<XXH3_MAC>()),
           foundation::make<HashAlgo>(std::make_shared<XXH128_MAC>())});
}

OpenSslChecksumsViewModel::OpenSslChecksumsViewModel()
{
    ProvidedDigests provided;
    EVP_MD_do_all_provided(nullptr, AddProvidedDigest, &provided);
    if (provided.failure) std::rethrow_exception(provided.failure);
    Offer(std::move(provided.entries));
}

}  // namespace Zintrel
