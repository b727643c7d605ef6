#pragma once
// The reading and hashing of one checksum run, apart from its page: one hasher per chosen entry,
// every chunk of the file fed to every hasher, then the results as upper-case hexadecimal.
//
// It runs on the pool. Of the entries it reads only Algorithm, which never changes.

#include "checksums/HashAlgo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace Zintrel {

// Bytes asked of each load of the file.
inline constexpr std::uint32_t ChecksumReadChunk = 0x400000;

// Loads up to count further bytes of the file and returns them; they stay valid until the next
// call. An empty result is the end of the file; a failing read throws.
using ChunkLoader = std::function<std::span<const std::uint8_t>(std::uint32_t count)>;

// One result per entry: no value where the entry has no algorithm or its hasher failed.
using ChecksumResults = std::vector<std::optional<foundation::hstring>>;

class ChecksumHashers {
public:
    // Starts one hasher per entry. threads limits how many threads feed one chunk (the calling
    // one included); 0 means one per processor. Throws std::bad_alloc when an xxHash state cannot be made.
    explicit ChecksumHashers(std::span<const std::shared_ptr<HashAlgo>> entries, unsigned threads = 0);
    ~ChecksumHashers();
    ChecksumHashers(const ChecksumHashers&) = delete;
    ChecksumHashers& operator=(const ChecksumHashers&) = delete;

    bool empty() const noexcept;
    // Gives the chunk to every hasher and returns when all have taken it. Each hasher sees the
    // chunks in the order given; several hashers may take one chunk on several threads at once.
    // It may be called on a pool thread: it waits only for hashers other threads are already
    // feeding and feeds the rest itself, so it never waits for work still queued on the pool.
    void Update(std::span<const std::uint8_t> chunk);
    // Finishes every hasher, in entry order.
    ChecksumResults Final();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The whole loop: loads of ChecksumReadChunk bytes until a load returns none, each fed to every
// hasher before the next load. Loads nothing when there are no entries.
ChecksumResults ComputeChecksums(std::span<const std::shared_ptr<HashAlgo>> entries, const ChunkLoader& load,
                                 unsigned threads = 0);

// Two digits per byte, high four bits first, from "0123456789ABCDEF".
foundation::hstring ChecksumText(std::span<const std::uint8_t> bytes);

}  // namespace Zintrel
