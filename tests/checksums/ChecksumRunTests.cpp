#include "checksums/ChecksumRun.h"

#include "checksums/ChecksumReport.h"
#include "checksums/ChosenAlgorithms.h"
#include "tests/checksums/oracles.h"
#include "tests/support/read_hook.h"
#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace Zintrel;
namespace fs = std::filesystem;

namespace {

using test::ChecksumFiles;

std::shared_ptr<storage::StorageFile> FileAt(const fs::path& path)
{
    return foundation::make<storage::StorageFile>(foundation::hstring(path.u16string()));
}

std::vector<std::shared_ptr<HashAlgo>> Choose(ChecksumsViewModel& model, std::initializer_list<const char16_t*> names)
{
    std::vector<std::shared_ptr<HashAlgo>> chosen;
    for (const auto* name : names) chosen.push_back(FindAlgorithmByShortName(model, name));
    model.HashAlgos()->ReplaceAll(chosen);
    return chosen;
}

// What a page does with a run, from the UI thread: clear, read on the pool, publish back here.
foundation::IAsyncAction Drive(ChecksumRun& run)
{
    run.Clear();
    co_await run.ReadAsync();
    run.Publish();
}

// Waits for the run driven from here to end; the failure it ended with, if any.
std::optional<foundation::hresult_error> Finish(const foundation::IAsyncAction& action)
{
    try {
        test::wait_for(action, std::chrono::seconds(60));
    } catch (const foundation::hresult_error& error) {
        return error;
    }
    return std::nullopt;
}

std::string Narrow(const foundation::hstring& text) { return foundation::to_narrow(text); }

}  // namespace

// Every run hashes on the pool and spreads its chunks over the same pool: with far fewer threads
// than runs, no thread may wait for work that only a waiting thread could do, also when a run's
// reading has filled its ring and waits for its slowest lane.
TEST_F(ChecksumFiles, AHundredOverlappingRunsOnASmallPoolAllFinishWithTheToolsResults)
{
    const test::PoolCap cap(3);
    auto model = foundation::make<OpenSslChecksumsViewModel>();
    const auto chosen = Choose(*model, {u"SHA2-256", u"SHA2-512", u"SHA3-256", u"BLAKE2B-512"});
    const auto file = s_folder / ("random-" + std::to_string(test::RingWrapSize));
    std::vector<std::unique_ptr<ChecksumRun>> runs;
    std::vector<foundation::IAsyncAction> reads;
    for (int i = 0; i < 100; ++i) {
        runs.push_back(std::make_unique<ChecksumRun>(model, FileAt(file)));
        reads.push_back(runs.back()->ReadAsync());
    }
    const auto finished = [&] {
        return std::count_if(reads.begin(), reads.end(),
                             [](const auto& read) { return read.Status() != foundation::AsyncStatus::Started; });
    };
    if (!test::run_until([&] { return finished() == 100; }, std::chrono::seconds(120))) {
        ADD_FAILURE() << finished() << " of 100 runs finished";
        for (auto& run : runs) run.release();  // still in use by the stalled runs
        return;
    }
    std::vector<std::string> expected;
    for (const auto& entry : chosen) expected.push_back(test::ToolChecksum(*entry, file));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        reads[i].GetResults();
        for (const auto& entry : chosen) entry->Checksum(u"");
        runs[i]->Publish();
        for (std::size_t k = 0; k < chosen.size(); ++k)
            ASSERT_EQ(Narrow(chosen[k]->Checksum()), expected[k]) << "run " << i << ", " << Narrow(chosen[k]->ShortName());
    }
}

TEST_F(ChecksumFiles, ARunKeepsTheFileAndTheChoiceItWasMadeWith)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    const auto xxh64 = Choose(*model, {u"XXH64"}).front();
    const auto xxh3 = FindAlgorithmByShortName(*model, u"XXH3");
    auto selected = FileAt(s_folder / "abc");
    ChecksumRun run(model, selected);
    // The user chooses another file and another algorithm while the run is under way.
    selected = FileAt(s_folder / "random-1");
    Choose(*model, {u"XXH3"});
    ASSERT_FALSE(Finish(Drive(run)));
    EXPECT_EQ(Narrow(xxh64->Checksum()), test::ToolChecksum(*xxh64, s_folder / "abc"));
    EXPECT_TRUE(xxh3->Checksum().empty());
    EXPECT_EQ(model->FileSize(), 3);
}

// An entry without an algorithm gets no checksum, one not chosen keeps its value, and nothing is
// published before the file is read.
TEST_F(ChecksumFiles, ClearAndPublishTouchOnlyTheRunsOwnEntries)
{
    auto model = foundation::make<OpenSslChecksumsViewModel>();
    const auto sha1 = FindAlgorithmByShortName(*model, u"SHA1");
    const auto md5 = FindAlgorithmByShortName(*model, u"MD5");
    md5->Checksum(u"KEPT");
    const auto nameOnly = foundation::make<HashAlgo>(foundation::hstring(u"SHA1"));
    nameOnly->Checksum(u"STALE");
    model->HashAlgos()->ReplaceAll({sha1, nameOnly});
    const auto file = s_folder / "random-1";
    ChecksumRun run(model, FileAt(file));
    run.Clear();
    EXPECT_TRUE(nameOnly->Checksum().empty());
    run.Publish();
    EXPECT_EQ(model->FileSize(), -1);
    ASSERT_FALSE(Finish(run.ReadAsync()));
    run.Publish();
    EXPECT_EQ(Narrow(sha1->Checksum()), test::ToolChecksum(*sha1, file));
    EXPECT_TRUE(nameOnly->Checksum().empty());
    EXPECT_EQ(md5->Checksum(), u"KEPT");
    EXPECT_EQ(model->FileSize(), 1);
}

TEST_F(ChecksumFiles, ARunWithoutAFilePublishesNothing)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    const auto xxh3 = Choose(*model, {u"XXH3"}).front();
    xxh3->Checksum(u"OLD");
    ChecksumRun noFile(model, nullptr);
    ASSERT_FALSE(Finish(Drive(noFile)));
    EXPECT_EQ(model->FileSize(), -1);
    EXPECT_TRUE(xxh3->Checksum().empty());
}

// A file that goes away or turns into something unreadable after it was chosen, and one cut short
// while it is read: the run fails with the platform's error and publishes nothing.
TEST_F(ChecksumFiles, AFileThatCannotBeReadFailsTheRunWithThePlatformsError)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    const auto chosen = Choose(*model, {u"XXH3", u"XXH64"});
    const auto path = s_folder / "going";
    const auto expectFailure = [&](const char* what, const foundation::IAsyncAction& action, const char* reason) {
        const auto error = Finish(action);
        ASSERT_TRUE(error.has_value()) << what;
        EXPECT_NE(Narrow(error->message()).find(path.string()), std::string::npos) << Narrow(error->message());
        EXPECT_NE(Narrow(error->message()).find(reason), std::string::npos) << Narrow(error->message());
        EXPECT_EQ(model->FileSize(), -1) << what;
        for (const auto& entry : chosen) EXPECT_TRUE(entry->Checksum().empty()) << what;
    };
    const auto replaceWith = [&](auto make) {
        fs::remove_all(path);
        fs::copy_file(s_folder / "abc", path);
        auto run = std::make_unique<ChecksumRun>(model, FileAt(path));
        for (const auto& entry : chosen) entry->Checksum(u"OLD");
        fs::remove(path);
        make();
        return run;
    };

    auto removed = replaceWith([] {});
    expectFailure("removed", Drive(*removed), "No such file");
    auto pipe = replaceWith([&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); });
    expectFailure("a pipe", Drive(*pipe), path.c_str());
    auto folder = replaceWith([&] { fs::create_directory(path); });
    expectFailure("a folder", Drive(*folder), "directory");
    fs::remove_all(path);
}

// A file that changes under a run: the size and the checksums shown describe the same bytes, or
// nothing is shown and the run says the file changed while it was read.
TEST_F(ChecksumFiles, TheSizeAndTheChecksumsAlwaysDescribeTheSameBytes)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    const auto chosen = Choose(*model, {u"XXH3", u"XXH64"});
    const auto original = s_folder / ("random-" + std::to_string(9 * test::MiB));
    const auto replacement = s_folder / "abc";
    const auto path = s_folder / "changing";
    const auto other = s_folder / "changing-other";
    const auto append = [&](std::size_t count) { std::ofstream(path, std::ios::binary | std::ios::app) << std::string(count, 'x'); };
    struct change {
        const char* what;
        std::optional<std::uint64_t> at;  // none: before the file is opened
        std::function<void()> make;
        std::optional<fs::path> shown;  // whose size and checksums show; none: the run fails
    };
    const change changes[] = {
        {"1 MiB appended half-way", 4 * test::MiB, [&] { append(test::MiB); }, std::nullopt},
        {"a byte appended once all was read", 9 * test::MiB, [&] { append(1); }, std::nullopt},
        {"cut short half-way", 4 * test::MiB, [&] { fs::resize_file(path, 5 * test::MiB); }, std::nullopt},
        {"another file renamed over it before it is opened", std::nullopt, [&] { fs::rename(other, path); }, replacement},
        {"another file renamed over it while it is read", 4 * test::MiB, [&] { fs::rename(other, path); }, original},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.what);
        fs::copy_file(original, path, fs::copy_options::overwrite_existing);
        fs::copy_file(replacement, other, fs::copy_options::overwrite_existing);
        std::atomic<bool> made{false};
        const test::ReadHook hook(path, [&](std::optional<std::uint64_t> offset) {
            if (offset.has_value() == change.at.has_value() && offset.value_or(0) >= change.at.value_or(0) && !made.exchange(true))
                change.make();
        });
        ChecksumRun run(model, FileAt(path));
        const auto error = Finish(Drive(run));
        ASSERT_TRUE(made) << "the change was never made";
        if (!change.shown) {
            ASSERT_TRUE(error.has_value()) << "FileSize " << model->FileSize() << " beside the checksum of other bytes";
            EXPECT_NE(Narrow(error->message()).find("\"" + path.string() + "\" changed while it was read"), std::string::npos)
                << Narrow(error->message());
            EXPECT_EQ(model->FileSize(), -1);
            for (const auto& entry : chosen) EXPECT_TRUE(entry->Checksum().empty());
            continue;
        }
        ASSERT_FALSE(error.has_value()) << Narrow(error->message());
        EXPECT_EQ(model->FileSize(), static_cast<std::int64_t>(fs::file_size(*change.shown)));
        for (const auto& entry : chosen) EXPECT_EQ(Narrow(entry->Checksum()), test::ToolChecksum(*entry, *change.shown));
    }
    fs::remove(path);
}

// The page shows the report of a run against the tools; here its own line ends, and the lines of
// no choice, of cleared and of repeated entries.
TEST_F(ChecksumFiles, TheReportHasALineForEveryChosenEntry)
{
    auto model = foundation::make<NonCryptoChecksumsViewModel>();
    EXPECT_EQ(Narrow(ChecksumReport(u"/x/y", u"Size (Bytes):", u"5", *model)), "/x/y\r\nSize (Bytes): 5");
    Choose(*model, {u"XXH3", u"XXH3"});
    ChecksumRun(model, nullptr).Clear();
    EXPECT_EQ(Narrow(ChecksumReport(u"/x/y", u"Size:", u"", *model)), "/x/y\r\nSize: \r\nXXH3: \r\nXXH3: ");
}
