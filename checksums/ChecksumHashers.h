#pragma once
// The hashing of one checksum run, apart from its page and its reading: one hasher per chosen entry,
// every chunk of the file fed to every hasher, then the results as upper-case hexadecimal.
//
// It runs on the pool. Of the entries it reads only Algorithm, which never changes.

#include "checksums/HashAlgo.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace Zintrel {

// Bytes asked of each load of the file.
inline constexpr std::uint32_t ChecksumReadChunk = 0x400000;
// Chunks the reading may be ahead of the slowest hasher: the ring of copies costs this many chunks.
inline constexpr std::size_t ChecksumRingChunks = 4;

// One result per entry: no value where the entry has no algorithm or its hasher failed.
using ChecksumResults = std::vector<std::optional<foundation::hstring>>;

class ChecksumHashers {
public:
    // Starts one hasher per entry. threads limits how many threads hash at once: the slow hashers
    // are spread over up to that many lanes on the pool while the calling thread reads; 0 means one
    // per processor, 1 keeps everything on the calling thread. Throws std::bad_alloc when an
    // xxHash state cannot be made.
    explicit ChecksumHashers(std::span<const std::shared_ptr<HashAlgo>> entries, unsigned threads = 0);
    // Unfinished lanes stop after the chunk they are hashing.
    ~ChecksumHashers();
    ChecksumHashers(const ChecksumHashers&) = delete;
    ChecksumHashers& operator=(const ChecksumHashers&) = delete;

    bool empty() const noexcept;
    // Gives the chunk to every hasher, each seeing the chunks in the order given; the chunk need
    // not outlive the call. Lanes of slow hashers get a copy in a ring of a few chunks and hash it
    // at their own pace, so this returns before they have; it waits only when the ring is full.
    // It may be called on a pool thread: it waits only for lanes other threads are running and
    // feeds the rest itself, so it never waits for work still queued on the pool.
    void Update(std::span<const std::uint8_t> chunk);
    // Waits for every lane as Update does, then finishes every hasher, in entry order.
    ChecksumResults Final();

private:
    struct State;
    // Shared with the pool's work items, which may run after the hashers are gone.
    std::shared_ptr<State> m_state;
};

// Two digits per byte, high four bits first, from "0123456789ABCDEF".
foundation::hstring ChecksumText(std::span<const std::uint8_t> bytes);

}  // namespace Zintrel
