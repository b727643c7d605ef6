#pragma once
// The non-cryptographic algorithms over xxHash: a descriptor (INonCryptoMAC) makes streaming
// hashers (INonCryptoDigest). Descriptors hold no state and may make hashers on several threads.

#include <cstdint>
#include <memory>
#include <string_view>

struct XXH64_state_s;
struct XXH3_state_s;

namespace Zintrel {

class INonCryptoDigest {
public:
    virtual ~INonCryptoDigest() = default;
    // Starts a new hash.
    virtual bool Reset() = 0;
    virtual bool Update(const std::uint8_t* data, std::uint64_t size) = 0;
    // Writes the digest, most significant byte first, and its byte count into length. Fails,
    // writing nothing, when *length is less than the digest's size.
    virtual bool Final(std::uint8_t* output, std::uint32_t* length) = 0;
};

class INonCryptoMAC {
public:
    virtual ~INonCryptoMAC() = default;
    // A new hasher, not yet reset; throws std::bad_alloc when its state cannot be made.
    virtual std::unique_ptr<INonCryptoDigest> CreateDigest() const = 0;
    virtual std::u16string_view ShortName() const = 0;
    virtual std::u16string_view Description() const = 0;
};

class XXH64_Digest final : public INonCryptoDigest {
public:
    XXH64_Digest();
    ~XXH64_Digest() override;
    XXH64_Digest(const XXH64_Digest&) = delete;
    XXH64_Digest& operator=(const XXH64_Digest&) = delete;

    bool Reset() override;
    bool Update(const std::uint8_t* data, std::uint64_t size) override;
    bool Final(std::uint8_t* output, std::uint32_t* length) override;

private:
    XXH64_state_s* m_state;
};

class XXH3_Digest final : public INonCryptoDigest {
public:
    XXH3_Digest();
    ~XXH3_Digest() override;
    XXH3_Digest(const XXH3_Digest&) = delete;
    XXH3_Digest& operator=(const XXH3_Digest&) = delete;

    bool Reset() override;
    bool Update(const std::uint8_t* data, std::uint64_t size) override;
    bool Final(std::uint8_t* output, std::uint32_t* length) override;

private:
    XXH3_state_s* m_state;
};

class XXH128_Digest final : public INonCryptoDigest {
public:
    XXH128_Digest();
    ~XXH128_Digest() override;
    XXH128_Digest(const XXH128_Digest&) = delete;
    XXH128_Digest& operator=(const XXH128_Digest&) = delete;

    bool Reset() override;
    bool Update(const std::uint8_t* data, std::uint64_t size) override;
    bool Final(std::uint8_t* output, std::uint32_t* length) override;

private:
    XXH3_state_s* m_state;
};

class XXH64_MAC final : public INonCryptoMAC {
public:
    std::unique_ptr<INonCryptoDigest> CreateDigest() const override;
    std::u16string_view ShortName() const override { return u"XXH64"; }
    std::u16string_view Description() const override { return u"XXH64 64-bit checksum"; }
};

class XXH3_MAC final : public INonCryptoMAC {
public:
    std::unique_ptr<INonCryptoDigest> CreateDigest() const override;
    std::u16string_view ShortName() const override { return u"XXH3"; }
    std::u16string_view Description() const override { return u"XXH3 64-bit checksum"; }
};

class XXH128_MAC final : public INonCryptoMAC {
public:
    std::unique_ptr<INonCryptoDigest> CreateDigest() const override;
    std::u16string_view ShortName() const override { return u"XXH128"; }
    std::u16string_view Description() const override { return u"XXH3 128-bit checksum"; }
};

}  // namespace Zintrel
