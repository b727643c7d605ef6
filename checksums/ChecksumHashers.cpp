#include "checksums/ChecksumHashers.h"

#include "platform/foundation/threading.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/opensslv.h>
#include <openssl/params.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>

namespace Zintrel {

namespace {

// Output length of every extendable-output digest, in bytes.
constexpr unsigned int XofLength = 64;
constexpr char16_t ChecksumHexDigits[] = u"0123456789ABCDEF";

bool IsExtendableOutput(const EVP_MD* digest) noexcept
{
#if OPENSSL_VERSION_NUMBER >= 0x30400000L
    return EVP_MD_xof(digest) != 0;
#else
    return (EVP_MD_get_flags(digest) & EVP_MD_FLAG_XOF) != 0;
#endif
}

class Hasher {
public:
    virtual ~Hasher() = default;
    virtual void Update(std::span<const std::uint8_t> chunk) noexcept = 0;
    virtual std::optional<foundation::hstring> Final() = 0;
    // Fast hashers are never handed to other threads: for them the hand-over costs more than
    // the hashing it spreads.
    virtual bool Fast() const noexcept = 0;
};

class NonCryptoHasher final : public Hasher {
public:
    explicit NonCryptoHasher(const INonCryptoMAC& descriptor) : m_digest(descriptor.CreateDigest())
    {
        m_digest->Reset();
    }

    void Update(std::span<const std::uint8_t> chunk) noexcept override
    {
        m_failed = m_failed || !m_digest->Update(chunk.data(), chunk.size());
    }

    std::optional<foundation::hstring> Final() override
    {
        std::array<std::uint8_t, 16> output;
        std::uint32_t length = output.size();
        if (m_failed || !m_digest->Final(output.data(), &length)) return std::nullopt;
        return ChecksumText(std::span(output.data(), length));
    }

    bool Fast() const noexcept override { return true; }

private:
    std::unique_ptr<INonCryptoDigest> m_digest;
    bool m_failed{false};
};

struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const noexcept { EVP_MD_CTX_free(context); }
};

class OpenSslHasher final : public Hasher {
public:
    // A context that cannot be made or set up leaves its entry without a checksum; the others go on.
    explicit OpenSslHasher(const EVP_MD* digest) : m_context(EVP_MD_CTX_new())
    {
        if (!m_context) {
            ERR_clear_error();
            return;
        }
        const bool xof = IsExtendableOutput(digest);
        m_ready = (xof || EVP_MD_get_size(digest) <= EVP_MAX_MD_SIZE) &&
                  EVP_DigestInit_ex(m_context.get(), digest, nullptr) == 1;
        if (m_ready && xof) {
            unsigned int xofLength = XofLength;
            const OSSL_PARAM params[] = {OSSL_PARAM_construct_uint(OSSL_DIGEST_PARAM_XOFLEN, &xofLength),
                                         OSSL_PARAM_construct_end()};
            m_ready = EVP_MD_CTX_set_params(m_context.get(), params) == 1;
        }
        Forget();
    }

    void Update(std::span<const std::uint8_t> chunk) noexcept override
    {
        if (m_ready && EVP_DigestUpdate(m_context.get(), chunk.data(), chunk.size()) != 1) {
            // A chunk the digest did not take would make any result wrong.
            m_ready = false;
            Forget();
        }
    }

    std::optional<foundation::hstring> Final() override
    {
        std::array<std::uint8_t, EVP_MAX_MD_SIZE> output;
        unsigned int length = 0;
        const bool done = m_ready && EVP_DigestFinal_ex(m_context.get(), output.data(), &length) == 1;
        Forget();
        if (!done) return std::nullopt;
        return ChecksumText(std::span(output.data(), length));
    }

    bool Fast() const noexcept override { return false; }

private:
    // Failures are answered by an empty checksum; their queue entries would only pile up on the
    // pool thread.
    void Forget() noexcept
    {
        if (!m_ready) ERR_clear_error();
    }

    std::unique_ptr<EVP_MD_CTX, ContextDeleter> m_context;
    bool m_ready{false};
};

// An entry made by name has nothing to hash with and gets no checksum.
class NoHasher final : public Hasher {
public:
    void Update(std::span<const std::uint8_t>) noexcept override {}
    std::optional<foundation::hstring> Final() override { return std::nullopt; }
    bool Fast() const noexcept override { return true; }
};

std::unique_ptr<Hasher> MakeHasher(const HashAlgo& entry)
{
    struct maker {
        std::unique_ptr<Hasher> operator()(const EVP_MD* digest) const
        {
            if (!digest) return std::make_unique<NoHasher>();
            return std::make_unique<OpenSslHasher>(digest);
        }
        std::unique_ptr<Hasher> operator()(const std::shared_ptr<INonCryptoMAC>& descriptor) const
        {
            if (!descriptor) return std::make_unique<NoHasher>();
            return std::make_unique<NonCryptoHasher>(*descriptor);
        }
    };
    return std::visit(maker{}, entry.Algorithm());
}

// Below this much work per chunk, a hand-over to another thread costs more than it saves.
constexpr double SpreadThresholdNs = 100'000;
// The first bytes of the file every hasher takes on the calling thread, timed to plan the lanes.
constexpr std::size_t SampleBytes = 64 * 1024;
// The lanes time their hashers over this many chunks and are planned again once from that: with
// every processor busy, hashers slow down unevenly, and a sample taken alone cannot tell.
constexpr std::uint64_t ReplanChunk = 4;
// A lane gives a chunk to its hashers in pieces that stay in the processor's own cache from one
// hasher to the next, instead of fetching the whole chunk again for each.
constexpr std::size_t LanePiece = 128 * 1024;
constexpr std::uint64_t NoEnd = ~std::uint64_t{0};

}  // namespace

// Each lane owns some of the slow hashers (planned from the sample, then once more from their
// timings in the lanes) and walks the ring at its own pace; whoever holds a lane's running flag
// feeds it: a pool thread, or the caller when it waits for that lane. The caller reads, copies
// each chunk into the ring and feeds the fast hashers itself.
struct ChecksumHashers::State : std::enable_shared_from_this<State> {
    struct Lane {
        std::vector<std::size_t> hashers;
        // The next chunk it hashes; written only by the thread running it.
        std::atomic<std::uint64_t> next{0};
        std::atomic<bool> running{false};
        // A pool work item that will run it is on its way.
        std::atomic<bool> queued{false};
    };
    struct Slot {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t size = 0;
        // Lanes still to hash the chunk it holds; at 0 the slot takes the next chunk.
        std::atomic<std::size_t> left{0};
    };

    std::vector<std::unique_ptr<Hasher>> hashers;
    unsigned threads = 1;
    bool planned = false;
    std::vector<std::size_t> onCaller;
    // The hashers in lanes, and the time each has taken in its lane over the chunks before ReplanChunk.
    std::vector<std::size_t> spread;
    std::vector<std::int64_t> spentNs;
    std::uint64_t timedBytes = 0;
    std::vector<Lane> lanes;
    std::array<Slot, ChecksumRingChunks> ring;
    // Chunks put in the ring so far; only the caller writes it.
    std::atomic<std::uint64_t> published{0};
    // The run was dropped unfinished: lanes stop at the next chunk.
    std::atomic<bool> abandoned{false};

    std::span<const std::uint8_t> Plan(std::span<const std::uint8_t> chunk);
    void Assign(const std::vector<double>& costs);
    void Replan();
    void Publish(std::span<const std::uint8_t> chunk);
    void WaitUntilHashed(std::uint64_t chunk);
    void Wake(Lane& lane);
    void Drive(Lane& lane, std::uint64_t end) noexcept;

    static bool Claim(Lane& lane) noexcept
    {
        bool idle = false;
        return lane.running.compare_exchange_strong(idle, true);
    }
};

// Times every hasher on the first bytes, which it hashes for good. Fast hashers stay on the
// caller, and so does everything when the rest is too little to hand over.
std::span<const std::uint8_t> ChecksumHashers::State::Plan(std::span<const std::uint8_t> chunk)
{
    planned = true;
    const auto sample = chunk.first(std::min(chunk.size(), SampleBytes));
    std::vector<double> costs(hashers.size(), 0);
    double spreadPerChunk = 0;
    for (std::size_t i = 0; i < hashers.size(); ++i) {
        const auto start = foundation::processors::thread_time_ns();
        hashers[i]->Update(sample);
        costs[i] = static_cast<double>(foundation::processors::thread_time_ns() - start) / static_cast<double>(sample.size());
        if (hashers[i]->Fast()) {
            onCaller.push_back(i);
        } else {
            spread.push_back(i);
            spreadPerChunk += costs[i] * ChecksumReadChunk;
        }
    }
    if (threads < 2 || spreadPerChunk < SpreadThresholdNs) {
        onCaller.insert(onCaller.end(), spread.begin(), spread.end());
        spread.clear();
        return chunk.subspan(sample.size());
    }
    lanes = std::vector<Lane>(std::min<std::size_t>(threads, spread.size()));
    spentNs.assign(hashers.size(), 0);
    Assign(costs);
    return chunk.subspan(sample.size());
}

// Slowest first, each to the lane with the least work so far, so that the lanes end together.
void ChecksumHashers::State::Assign(const std::vector<double>& costs)
{
    std::stable_sort(spread.begin(), spread.end(), [&costs](std::size_t a, std::size_t b) { return costs[a] > costs[b]; });
    for (auto& lane : lanes) lane.hashers.clear();
    std::vector<double> load(lanes.size(), 0);
    for (const auto i : spread) {
        const auto lightest = std::min_element(load.begin(), load.end()) - load.begin();
        lanes[lightest].hashers.push_back(i);
        load[lightest] += costs[i];
    }
}

// Every lane is idle here, done with every chunk so far, so hashers may change lanes.
void ChecksumHashers::State::Replan()
{
    std::vector<double> costs(hashers.size(), 0);
    for (const auto i : spread) costs[i] = static_cast<double>(spentNs[i]) / static_cast<double>(timedBytes);
    Assign(costs);
}

void ChecksumHashers::State::Publish(std::span<const std::uint8_t> chunk)
{
    const auto count = published.load(std::memory_order_relaxed);
    if (count == ReplanChunk) {
        WaitUntilHashed(count - 1);
        Replan();
    } else if (count >= ChecksumRingChunks) {
        WaitUntilHashed(count - ChecksumRingChunks);
    }
    if (count < ReplanChunk) timedBytes += chunk.size();
    auto& slot = ring[count % ChecksumRingChunks];
    if (!slot.bytes) slot.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(ChecksumReadChunk);
    std::memcpy(slot.bytes.get(), chunk.data(), chunk.size());
    slot.size = chunk.size();
    slot.left.store(lanes.size(), std::memory_order_relaxed);
    published.store(count + 1);
    for (auto& lane : lanes) Wake(lane);
}

// The caller waits only for lanes another thread is running; a lane nobody runs (its work item
// still queued behind others on a busy pool) it feeds itself, so it never waits for the pool.
void ChecksumHashers::State::WaitUntilHashed(std::uint64_t chunk)
{
    auto& slot = ring[chunk % ChecksumRingChunks];
    for (auto left = slot.left.load(); left != 0; left = slot.left.load()) {
        bool fed = false;
        for (auto& lane : lanes) {
            if (lane.next.load() > chunk || !Claim(lane)) continue;
            Drive(lane, chunk + 1);
            fed = true;
        }
        if (!fed) slot.left.wait(left);
    }
}

void ChecksumHashers::State::Wake(Lane& lane)
{
    if (lane.running.load() || lane.queued.exchange(true)) return;
    // The work item holds the state: it may run after the run has ended, and then finds nothing to do.
    const bool submitted = foundation::thread_pool::submit([state = shared_from_this(), &lane] {
        lane.queued.store(false);
        if (Claim(lane)) state->Drive(lane, NoEnd);
    });
    if (!submitted) lane.queued.store(false);
}

// Runs the lane up to the chunk before end or the last one published, whichever comes first. A
// chunk published while it lets go is caught by it or by the publisher's Wake: each looks at the
// other's flag after setting its own.
void ChecksumHashers::State::Drive(Lane& lane, std::uint64_t end) noexcept
{
    for (;;) {
        auto next = lane.next.load(std::memory_order_relaxed);
        for (; next < end && next < published.load() && !abandoned.load(std::memory_order_relaxed); ++next) {
            auto& slot = ring[next % ChecksumRingChunks];
            const std::span<const std::uint8_t> chunk(slot.bytes.get(), slot.size);
            for (std::size_t at = 0; at < chunk.size(); at += LanePiece) {
                const auto piece = chunk.subspan(at, std::min(LanePiece, chunk.size() - at));
                for (const auto i : lane.hashers) {
                    if (next >= ReplanChunk) {
                        hashers[i]->Update(piece);
                        continue;
                    }
                    const auto start = foundation::processors::thread_time_ns();
                    hashers[i]->Update(piece);
                    spentNs[i] += foundation::processors::thread_time_ns() - start;
                }
            }
            lane.next.store(next + 1);
            if (slot.left.fetch_sub(1) == 1) slot.left.notify_all();
        }
        lane.running.store(false);
        if (abandoned.load() || next >= published.load()) return;
        if (next >= end) {
            Wake(lane);
            return;
        }
        if (!Claim(lane)) return;
    }
}

ChecksumHashers::ChecksumHashers(std::span<const std::shared_ptr<HashAlgo>> entries, unsigned threads)
    : m_state(std::make_shared<State>())
{
    m_state->threads = threads ? threads : foundation::processors::available();
    m_state->hashers.reserve(entries.size());
    for (const auto& entry : entries) m_state->hashers.push_back(MakeHasher(*entry));
}

ChecksumHashers::~ChecksumHashers() { m_state->abandoned.store(true); }

bool ChecksumHashers::empty() const noexcept { return m_state->hashers.empty(); }

void ChecksumHashers::Update(std::span<const std::uint8_t> chunk)
{
    auto& state = *m_state;
    if (!state.planned && !chunk.empty()) chunk = state.Plan(chunk);
    if (!state.lanes.empty())
        for (std::size_t at = 0; at < chunk.size(); at += ChecksumReadChunk)
            state.Publish(chunk.subspan(at, std::min<std::size_t>(ChecksumReadChunk, chunk.size() - at)));
    if (chunk.empty()) return;
    for (const auto i : state.onCaller) state.hashers[i]->Update(chunk);
}

ChecksumResults ChecksumHashers::Final()
{
    auto& state = *m_state;
    if (const auto count = state.published.load(); count > 0) state.WaitUntilHashed(count - 1);
    ChecksumResults results;
    results.reserve(state.hashers.size());
    for (const auto& hasher : state.hashers) results.push_back(hasher->Final());
    return results;
}

foundation::hstring ChecksumText(std::span<const std::uint8_t> bytes)
{
    std::u16string text;
    text.reserve(bytes.size() * 2);
    for (const auto byte : bytes) {
        text.push_back(ChecksumHexDigits[byte >> 4]);
        text.push_back(ChecksumHexDigits[byte & 0xF]);
    }
    return foundation::hstring(std::move(text));
}

}  // namespace Zintrel
