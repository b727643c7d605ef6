#include "checksums/ChecksumHashers.h"

#include "checksums/ChecksumRun.h"
#include "checksums/ChecksumsViewModel.h"
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

// The run's loop over the file, awaited from here.
ChecksumResults HashFile(const std::filesystem::path& path, const std::vector<std::shared_ptr<HashAlgo>>& entries,
                         unsigned threads = 0)
{
    auto file = foundation::make<storage::FileInputStream>(foundation::hstring(path.u16string()));
    return test::wait_for(ChecksumRun::HashAsync(std::move(file), entries, threads), std::chrono::seconds(60));
}

// Reads bytes kept elsewhere in pieces of at most `piece` bytes, recording every answer.
struct MemoryStream : storage::IInputStream {
    MemoryStream(std::span<const std::uint8_t> bytes, std::size_t most) : data(bytes), piece(most) {}

    std::span<const std::uint8_t> data;
    std::size_t piece;
    std::size_t at = 0;
    std::vector<std::size_t> answers;

    std::uint32_t read_into(std::uint8_t* destination, std::uint32_t count) override
    {
        const auto size = std::min({std::size_t{count}, piece, data.size() - at});
        answers.push_back(size);
        std::copy_n(data.data() + at, size, destination);
        at += size;
        return static_cast<std::uint32_t>(size);
    }
};

ChecksumResults HashStream(const std::shared_ptr<MemoryStream>& stream, const std::vector<std::shared_ptr<HashAlgo>>& entries)
{
    return test::wait_for(ChecksumRun::HashAsync(stream, entries), std::chrono::seconds(60));
}

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

TEST(ChecksumLoop, ReadsUntilAReadReturnsNothing)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(2 * ChecksumReadChunk);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    EVP_MD* sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    const std::vector<std::shared_ptr<HashAlgo>> entries{
        foundation::make<HashAlgo>(static_cast<const EVP_MD*>(sha1)),
        foundation::make<HashAlgo>(std::make_shared<XXH64_MAC>())};
    EVP_MD_free(sha1);

    // Short reads are hashed and followed by more reads.
    const auto shortReads = std::make_shared<MemoryStream>(data, 1'000'003);
    const auto results = HashStream(shortReads, entries);
    EXPECT_EQ(foundation::to_narrow(*results[0]), OpenSslOneShot("SHA1", data));
    EXPECT_EQ(shortReads->answers.back(), 0u);

    // A length that is a whole number of chunks ends with one extra, empty read.
    const auto wholeChunks = std::make_shared<MemoryStream>(data, ChecksumReadChunk);
    EXPECT_EQ(HashStream(wholeChunks, entries), results);
    EXPECT_EQ(wholeChunks->answers, (std::vector<std::size_t>{ChecksumReadChunk, ChecksumReadChunk, 0}));
}

// Hashers on the pool, more of them than it has threads, each given more than its ring holds at
// once: an update whose ring is full must feed its own lanes, whose work items wait behind the
// other updates.
TEST(ChecksumHashers, UpdatesOnASmallPoolFeedTheirOwnLanes)
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
            ChecksumHashers hashers(entries);
            hashers.Update(*data);
            auto results = hashers.Final();
            const std::lock_guard lock(ends->mutex);
            ends->results.push_back(std::move(results));
        });
    const auto finished = [&] {
        const std::lock_guard lock(ends->mutex);
        return ends->results.size();
    };
    ASSERT_TRUE(test::run_until([&] { return finished() == loops; }, std::chrono::seconds(120)))
        << finished() << " of " << loops << " updates finished";
    for (const auto& results : ends->results)
        for (std::size_t i = 0; i < entries.size(); ++i)
            ASSERT_EQ(foundation::to_narrow(*results[i]), OpenSslOneShot(names[i], *data)) << names[i];
}

TEST(ChecksumLoop, EdgeCasesOfTheEntryList)
{
    const std::vector<std::uint8_t> data(100, 1);
    const auto stream = std::make_shared<MemoryStream>(data, ChecksumReadChunk);
    EXPECT_TRUE(HashStream(stream, {}).empty());
    EXPECT_TRUE(stream->answers.empty()) << "without entries nothing is read";

    // An entry made by name has nothing to hash with; its neighbours are unaffected.
    EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
    const std::vector<std::shared_ptr<HashAlgo>> entries{
        foundation::make<HashAlgo>(foundation::hstring(u"MD5")),
        foundation::make<HashAlgo>(static_cast<const EVP_MD*>(md5))};
    EVP_MD_free(md5);
    const auto results = HashStream(stream, entries);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_FALSE(results[0].has_value());
    EXPECT_EQ(foundation::to_narrow(*results[1]), OpenSslOneShot("MD5", data));
}
