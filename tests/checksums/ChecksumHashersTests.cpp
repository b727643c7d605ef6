#include "checksums/ChecksumHashers.h"

#include "checksums/ChecksumsViewModel.h"
#include "platform/storage/file_reader.h"
#include "tests/checksums/oracles.h"
#include "tests/support/event_loop.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <vector>

using namespace Zintrel;

namespace {

using test::ChecksumFiles;
using test::MiB;

std::vector<std::shared_ptr<HashAlgo>> Entries(const HashAlgoVector& entries)
{
    return {entries->begin(), entries->end()};
}

ChecksumResults HashFile(const std::filesystem::path& path, const std::vector<std::shared_ptr<HashAlgo>>& entries,
                         unsigned threads = 0)
{
    storage::sequential_file_reader file(foundation::hstring(path.u16string()));
    return ComputeChecksums(entries, [&](std::uint32_t count) { return file.load(count); }, threads);
}

// Loads from memory in pieces of at most `piece` bytes, recording every request.
struct MemoryLoader {
    MemoryLoader(std::vector<std::uint8_t> bytes, std::size_t most) : data(std::move(bytes)), piece(most) {}

    std::vector<std::uint8_t> data;
    std::size_t piece;
    std::size_t at = 0;
    std::vector<std::uint32_t> requests;
    std::vector<std::size_t> answers;

    std::span<const std::uint8_t> operator()(std::uint32_t count)
    {
        requests.push_back(count);
        const auto size = std::min({std::size_t{count}, piece, data.size() - at});
        answers.push_back(size);
        const auto chunk = std::span<const std::uint8_t>(data.data() + at, size);
        at += size;
        return chunk;
    }
};

std::string OpenSslOneShot(const char* name, std::span<const std::uint8_t> data)
{
    std::uint8_t digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_get_digestbyname(name), nullptr);
    return foundation::to_narrow(ChecksumText(std::span(digest, length)));
}

}  // namespace

// What the tools compute is checked through whole runs; here, that spreading the hashers over
// lanes changes nothing, whichever way the plan and the one re-plan fall, on the ring's wrap too.
TEST_F(ChecksumFiles, EveryThreadCountGivesTheSameResults)
{
    auto nonCrypto = foundation::make<NonCryptoChecksumsViewModel>();
    auto openSsl = foundation::make<OpenSslChecksumsViewModel>();
    auto entries = Entries(openSsl->AvailableHashAlgos());
    for (const auto& entry : *nonCrypto->AvailableHashAlgos()) entries.push_back(entry);
    for (const auto& file : s_files) {
        const auto oneThread = HashFile(file, entries, 1);
        ASSERT_EQ(oneThread.size(), entries.size());
        for (const unsigned threads : {3u, 0u}) {
            const auto spread = HashFile(file, entries, threads);
            for (std::size_t i = 0; i < entries.size(); ++i) {
                ASSERT_TRUE(oneThread[i].has_value());
                EXPECT_EQ(spread[i], oneThread[i])
                    << foundation::to_narrow(entries[i]->ShortName()) << " of " << file.filename() << " on " << threads;
            }
        }
    }
}

TEST(ComputeChecksums, LoadsUntilALoadReturnsNothing)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(2 * ChecksumReadChunk);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    EVP_MD* sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    const std::vector<std::shared_ptr<HashAlgo>> entries{
        foundation::make<HashAlgo>(static_cast<const EVP_MD*>(sha1)),
        foundation::make<HashAlgo>(std::make_shared<XXH64_MAC>())};
    EVP_MD_free(sha1);

    // Short loads are hashed and followed by more loads.
    MemoryLoader shortLoads{data, 1'000'003};
    const auto results = ComputeChecksums(entries, std::ref(shortLoads));
    EXPECT_EQ(foundation::to_narrow(*results[0]), OpenSslOneShot("SHA1", data));
    EXPECT_EQ(shortLoads.answers.back(), 0u);
    EXPECT_EQ(shortLoads.requests.size(), 10u);
    EXPECT_TRUE(std::all_of(shortLoads.requests.begin(), shortLoads.requests.end(),
                            [](auto count) { return count == ChecksumReadChunk; }));

    // A length that is a whole number of chunks ends with one extra, empty load.
    MemoryLoader wholeChunks{data, ChecksumReadChunk};
    EXPECT_EQ(ComputeChecksums(entries, std::ref(wholeChunks)), results);
    EXPECT_EQ(wholeChunks.answers, (std::vector<std::size_t>{ChecksumReadChunk, ChecksumReadChunk, 0}));
}

// Loops on the pool, more of them than it has threads, each reading faster than it hashes: a loop
// whose ring is full must feed its own lanes, whose work items wait behind the other loops.
TEST(ComputeChecksums, LoopsOnASmallPoolFeedTheirOwnLanes)
{
    const test::PoolCap cap(3);
    std::mt19937 random(11);
    auto data = std::make_shared<std::vector<std::uint8_t>>(test::RingWrapSize);
    for (auto& b : *data) b = static_cast<std::uint8_t>(random());
    const char* const names[] = {"MD5", "SHA1", "SHA2-256", "SHA2-512"};
    std::vector<std::shared_ptr<HashAlgo>> entries;
    for (const auto* name : names) {
        EVP_MD* digest = EVP_MD_fetch(nullptr, name, nullptr);
        entries.push_back(foundation::make<HashAlgo>(static_cast<const EVP_MD*>(digest)));
        EVP_MD_free(digest);
    }
    constexpr int loops = 12;
    struct Ends {
        std::mutex mutex;
        std::vector<ChecksumResults> results;
    };
    auto ends = std::make_shared<Ends>();
    for (int i = 0; i < loops; ++i)
        foundation::thread_pool::submit([data, entries, ends] {
            std::size_t at = 0;
            auto results = ComputeChecksums(entries, [&](std::uint32_t count) {
                const auto chunk = std::span<const std::uint8_t>(*data).subspan(at, std::min<std::size_t>(count, data->size() - at));
                at += chunk.size();
                return chunk;
            });
            const std::lock_guard lock(ends->mutex);
            ends->results.push_back(std::move(results));
        });
    const auto finished = [&] {
        const std::lock_guard lock(ends->mutex);
        return ends->results.size();
    };
    ASSERT_TRUE(test::run_until([&] { return finished() == loops; }, std::chrono::seconds(120)))
        << finished() << " of " << loops << " loops finished";
    for (const auto& results : ends->results)
        for (std::size_t i = 0; i < entries.size(); ++i)
            ASSERT_EQ(foundation::to_narrow(*results[i]), OpenSslOneShot(names[i], *data)) << names[i];
}

TEST(ComputeChecksums, EdgeCasesOfTheEntryList)
{
    MemoryLoader loader{std::vector<std::uint8_t>(100, 1), ChecksumReadChunk};
    EXPECT_TRUE(ComputeChecksums({}, std::ref(loader)).empty());
    EXPECT_TRUE(loader.requests.empty()) << "without entries nothing is read";

    // An entry made by name has nothing to hash with; its neighbours are unaffected.
    EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
    const std::vector<std::shared_ptr<HashAlgo>> entries{
        foundation::make<HashAlgo>(foundation::hstring(u"MD5")),
        foundation::make<HashAlgo>(static_cast<const EVP_MD*>(md5))};
    EVP_MD_free(md5);
    const auto results = ComputeChecksums(entries, std::ref(loader));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_FALSE(results[0].has_value());
    EXPECT_EQ(foundation::to_narrow(*results[1]), OpenSslOneShot("MD5", loader.data));
}

TEST(ChecksumText, IsUpperCaseHexWithTwoDigitsPerByte)
{
    const std::uint8_t bytes[] = {0xAB, 0x0F, 0x00, 0x90};
    EXPECT_EQ(ChecksumText(bytes), u"AB0F0090");
    EXPECT_TRUE(ChecksumText({}).empty());
}
