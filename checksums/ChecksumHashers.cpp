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
#include <chrono>
#include <new>
#include <numeric>
#include <thread>

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

// Below this much expected work per chunk, a hand-over to another thread costs more than it saves.
constexpr double SpreadThresholdNs = 100'000;
// The life of one lane of one chunk.
constexpr int LaneFree = 0;
constexpr int LaneTaken = 1;
constexpr int LaneDone = 2;
// Updates shorter than this say more about call overhead than about the algorithm's speed.
constexpr std::size_t MeasuredChunkMinimum = 64 * 1024;

}  // namespace

struct ChecksumHashers::State {
    std::vector<std::unique_ptr<Hasher>> hashers;
    // Nanoseconds per byte of each hasher, guessed until measured. Each element is written only
    // by the thread feeding that hasher.
    std::vector<double> costs;
    std::vector<char> measured;
    unsigned threads = 1;
    // The hashers each thread feeds with the current chunk; lane 0 is the calling thread.
    std::vector<std::vector<std::size_t>> lanes;

    void Plan(std::size_t bytes);
    void Feed(std::size_t lane, std::span<const std::uint8_t> chunk) noexcept;
};

// Fast hashers stay on the calling thread; the others go, slowest first, to the thread with the
// least work so far, so the chunk is done when the slowest thread is.
void ChecksumHashers::State::Plan(std::size_t bytes)
{
    for (auto& lane : lanes) lane.clear();
    lanes.resize(1);
    std::vector<std::size_t> spread;
    double onCaller = 0;
    double spreadTotal = 0;
    for (std::size_t i = 0; i < hashers.size(); ++i) {
        const double work = costs[i] * static_cast<double>(bytes);
        if (hashers[i]->Fast()) {
            lanes[0].push_back(i);
            onCaller += work;
        } else {
            spread.push_back(i);
            spreadTotal += work;
        }
    }
    const std::size_t laneCount =
        spreadTotal < SpreadThresholdNs ? 1 : std::min<std::size_t>(threads, spread.size() + (lanes[0].empty() ? 0 : 1));
    lanes.resize(std::max<std::size_t>(laneCount, 1));
    std::stable_sort(spread.begin(), spread.end(), [this](std::size_t a, std::size_t b) { return costs[a] > costs[b]; });
    std::vector<double> load(lanes.size(), 0);
    load[0] = onCaller;
    for (const auto i : spread) {
        const auto lightest = std::min_element(load.begin(), load.end()) - load.begin();
        lanes[lightest].push_back(i);
        load[lightest] += costs[i] * static_cast<double>(bytes);
    }
    for (auto& lane : lanes) std::sort(lane.begin(), lane.end());
}

void ChecksumHashers::State::Feed(std::size_t lane, std::span<const std::uint8_t> chunk) noexcept
{
    using clock = std::chrono::steady_clock;
    for (const auto i : lanes[lane]) {
        const auto start = clock::now();
        hashers[i]->Update(chunk);
        if (chunk.size() < MeasuredChunkMinimum) continue;
        const double cost =
            std::chrono::duration<double, std::nano>(clock::now() - start).count() / static_cast<double>(chunk.size());
        costs[i] = measured[i] ? (costs[i] + cost) / 2 : cost;
        measured[i] = true;
    }
}

ChecksumHashers::ChecksumHashers(std::span<const std::shared_ptr<HashAlgo>> entries, unsigned threads)
    : m_state(std::make_unique<State>())
{
    m_state->threads = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
    m_state->hashers.reserve(entries.size());
    for (const auto& entry : entries) {
        m_state->hashers.push_back(MakeHasher(*entry));
        m_state->costs.push_back(m_state->hashers.back()->Fast() ? 0.1 : 1.0);
    }
    m_state->measured.assign(entries.size(), false);
}

ChecksumHashers::~ChecksumHashers() = default;

bool ChecksumHashers::empty() const noexcept { return m_state->hashers.empty(); }

void ChecksumHashers::Update(std::span<const std::uint8_t> chunk)
{
    if (chunk.empty()) return;
    auto& state = *m_state;
    state.Plan(chunk.size());
    const std::size_t laneCount = state.lanes.size();
    if (laneCount == 1) {
        state.Feed(0, chunk);
        return;
    }
    // Each lane is run by whoever takes it first: a pool thread, or the caller once it is done
    // with its own. The caller waits only for lanes another thread is running, never for work
    // still queued, so a pool full of waiting callers cannot stall. A late hand-over finds its lane
    // taken and does nothing; it holds the flags, not the chunk.
    auto round = std::make_shared<std::vector<std::atomic<int>>>(laneCount);
    auto take = [round, &state, chunk](std::size_t lane) {
        int expected = LaneFree;
        if (!(*round)[lane].compare_exchange_strong(expected, LaneTaken)) return;
        state.Feed(lane, chunk);
        (*round)[lane].store(LaneDone);
        (*round)[lane].notify_all();
    };
    for (std::size_t lane = 1; lane < laneCount; ++lane)
        foundation::thread_pool::submit([take, lane] { take(lane); });
    state.Feed(0, chunk);
    for (std::size_t lane = 1; lane < laneCount; ++lane) take(lane);
    for (std::size_t lane = 1; lane < laneCount; ++lane)
        for (int now = (*round)[lane].load(); now != LaneDone; now = (*round)[lane].load()) (*round)[lane].wait(now);
}

ChecksumResults ChecksumHashers::Final()
{
    ChecksumResults results;
    results.reserve(m_state->hashers.size());
    for (const auto& hasher : m_state->hashers) results.push_back(hasher->Final());
    return results;
}

ChecksumResults ComputeChecksums(std::span<const std::shared_ptr<HashAlgo>> entries, const ChunkLoader& load,
                                 unsigned threads)
{
    ChecksumHashers hashers(entries, threads);
    if (!hashers.empty()) {
        for (auto chunk = load(ChecksumReadChunk); !chunk.empty(); chunk = load(ChecksumReadChunk))
            hashers.Update(chunk);
    }
    return hashers.Final();
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
