#include "checksums/NonCryptoHash.h"

#include <xxhash.h>
#if defined(__x86_64__)
// The packaged library builds XXH3 for the widest vector unit of the running CPU only in these
// entry points; the plain ones stay on SSE2.
#define XXH_DISPATCH_DISABLE_REPLACE
#include <xxh_x86dispatch.h>
#define ZINTREL_XXH3_64_UPDATE XXH3_64bits_update_dispatch
#define ZINTREL_XXH3_128_UPDATE XXH3_128bits_update_dispatch
#else
#define ZINTREL_XXH3_64_UPDATE XXH3_64bits_update
#define ZINTREL_XXH3_128_UPDATE XXH3_128bits_update
#endif

#include <cstring>
#include <new>

namespace Zintrel {

namespace {

template <class State>
State* checked_state(State* state)
{
    if (!state) throw std::bad_alloc();
    return state;
}

// The canonical forms are big-endian: the high half of a 128-bit value comes first.
bool write_canonical(XXH64_hash_t hash, std::uint8_t* output, std::uint32_t* length)
{
    if (*length < sizeof(XXH64_canonical_t)) return false;
    XXH64_canonical_t canonical;
    XXH64_canonicalFromHash(&canonical, hash);
    std::memcpy(output, canonical.digest, sizeof(canonical.digest));
    *length = sizeof(canonical.digest);
    return true;
}

bool write_canonical(XXH128_hash_t hash, std::uint8_t* output, std::uint32_t* length)
{
    if (*length < sizeof(XXH128_canonical_t)) return false;
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    std::memcpy(output, canonical.digest, sizeof(canonical.digest));
    *length = sizeof(canonical.digest);
    return true;
}

}  // namespace

XXH64_Digest::XXH64_Digest() : m_state(checked_state(XXH64_createState())) {}
XXH64_Digest::~XXH64_Digest() { XXH64_freeState(m_state); }

bool XXH64_Digest::Reset()
{
    XXH64_reset(m_state, 0);
    return true;
}

bool XXH64_Digest::Update(const std::uint8_t* data, std::uint64_t size)
{
    XXH64_update(m_state, data, size);
    return true;
}

bool XXH64_Digest::Final(std::uint8_t* output, std::uint32_t* length)
{
    return write_canonical(XXH64_digest(m_state), output, length);
}

XXH3_Digest::XXH3_Digest() : m_state(checked_state(XXH3_createState())) {}
XXH3_Digest::~XXH3_Digest() { XXH3_freeState(m_state); }

bool XXH3_Digest::Reset()
{
    XXH3_64bits_reset(m_state);
    return true;
}

bool XXH3_Digest::Update(const std::uint8_t* data, std::uint64_t size)
{
    ZINTREL_XXH3_64_UPDATE(m_state, data, size);
    return true;
}

bool XXH3_Digest::Final(std::uint8_t* output, std::uint32_t* length)
{
    return write_canonical(XXH3_64bits_digest(m_state), output, length);
}

XXH128_Digest::XXH128_Digest() : m_state(checked_state(XXH3_createState())) {}
XXH128_Digest::~XXH128_Digest() { XXH3_freeState(m_state); }

bool XXH128_Digest::Reset()
{
    XXH3_128bits_reset(m_state);
    return true;
}

bool XXH128_Digest::Update(const std::uint8_t* data, std::uint64_t size)
{
    ZINTREL_XXH3_128_UPDATE(m_state, data, size);
    return true;
}

bool XXH128_Digest::Final(std::uint8_t* output, std::uint32_t* length)
{
    return write_canonical(XXH3_128bits_digest(m_state), output, length);
}

std::unique_ptr<INonCryptoDigest> XXH64_MAC::CreateDigest() const { return std::make_unique<XXH64_Digest>(); }
std::unique_ptr<INonCryptoDigest> XXH3_MAC::CreateDigest() const { return std::make_unique<XXH3_Digest>(); }
std::unique_ptr<INonCryptoDigest> XXH128_MAC::CreateDigest() const { return std::make_unique<XXH128_Digest>(); }

}  // namespace Zintrel
