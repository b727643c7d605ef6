#include "platform/storage/StorageFile.h"

#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace storage;
namespace fs = std::filesystem;

namespace {

using test::wait_for;

class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("zintrel-files-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    hstring path(const std::string& name) const { return hstring((m_dir / name).u16string()); }
    std::string write(const std::string& name, std::size_t size)
    {
        std::string bytes(size, '\0');
        std::mt19937 random(42);
        for (auto& b : bytes) b = static_cast<char>(random());
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        return bytes;
    }
    // The message of the failure of opening a path, or empty when it opens.
    static std::string refusal(const hstring& path)
    {
        try {
            wait_for(StorageFile::GetFileFromPathAsync(path));
            return {};
        } catch (const foundation::hresult_error& e) {
            return foundation::to_narrow(e.message());
        }
    }
    fs::path m_dir;
};

}  // namespace

TEST_F(Files, OnlyAbsolutePathsOfRegularFilesOpen)
{
    write("data.bin", 10);
    EXPECT_EQ(refusal(path("data.bin")), "");
    EXPECT_NE(refusal(u"data.bin").find("is not an absolute path"), std::string::npos);
    EXPECT_NE(refusal(u"").find("No file name"), std::string::npos);
    EXPECT_NE(refusal(path("missing.bin")).find("No such file or directory"), std::string::npos);
    EXPECT_NE(refusal(path("missing.bin")).find("missing.bin"), std::string::npos) << "the message names the path";
    // Cut at its NUL this would name data.bin.
    EXPECT_NE(refusal(path("data.bin") + std::u16string_view(u"\0.bak", 5)).find("NUL"), std::string::npos);
    EXPECT_NE(refusal(hstring(m_dir.u16string())).find("is a folder"), std::string::npos);
    EXPECT_NE(refusal(u"/dev/zero").find("is a device"), std::string::npos) << "never an endless read";

    ASSERT_EQ(mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    EXPECT_NE(refusal(path("pipe")).find("is a pipe"), std::string::npos);

    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (m_dir / "sock").c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_NE(refusal(path("sock")).find("is a socket"), std::string::npos);
    close(s);
}

TEST_F(Files, ADataReaderReadsTheWholeFileInRequests)
{
    const auto bytes = write("data.bin", 3 * 1000 + 7);
    auto file = wait_for(StorageFile::GetFileFromPathAsync(path("data.bin")));
    EXPECT_EQ(file->Name(), u"data.bin");
    const auto stream = wait_for(file->OpenSequentialReadAsync());
    EXPECT_EQ(stream->Size(), bytes.size());
    auto reader = foundation::make<DataReader>(stream);
    reader->InputStreamOptions(InputStreamOptions::ReadAhead);
    std::string seen;
    for (;;) {
        const auto loaded = wait_for(reader->LoadAsync(1000));
        if (loaded == 0) break;
        EXPECT_TRUE(loaded == 1000 || seen.size() + loaded == bytes.size()) << "short only at the end";
        // Take it in two pieces to cover the partial path.
        for (std::uint32_t take : {loaded / 3, loaded - loaded / 3}) {
            auto buffer = reader->ReadBuffer(take);
            seen.append(reinterpret_cast<const char*>(buffer->data()), buffer->Length());
        }
    }
    EXPECT_EQ(seen, bytes);
    EXPECT_THROW(reader->ReadBuffer(1), foundation::hresult_out_of_bounds);
}

// Bytes left from one load come before the next load's; taking everything hands the bytes over
// and the reader goes on with fresh ones.
TEST_F(Files, ADataReaderKeepsWhatWasNotTakenInFrontOfTheNextLoad)
{
    const auto bytes = write("kept.bin", 5000);
    auto file = wait_for(StorageFile::GetFileFromPathAsync(path("kept.bin")));
    auto reader = foundation::make<DataReader>(wait_for(file->OpenSequentialReadAsync()));
    const auto take = [&](std::uint32_t count) {
        auto buffer = reader->ReadBuffer(count);
        EXPECT_EQ(buffer->Length(), count);
        return std::string(reinterpret_cast<const char*>(buffer->data()), buffer->Length());
    };
    std::string seen;
    ASSERT_EQ(wait_for(reader->LoadAsync(1000)), 1000u);
    seen += take(300);
    ASSERT_EQ(wait_for(reader->LoadAsync(2000)), 2000u);
    EXPECT_EQ(reader->UnconsumedBufferLength(), 2700u);
    const auto whole = reader->ReadBuffer(2700);
    seen.append(reinterpret_cast<const char*>(whole->data()), whole->Length());
    EXPECT_EQ(reader->UnconsumedBufferLength(), 0u);
    ASSERT_EQ(wait_for(reader->LoadAsync(4000)), 2000u);
    seen += take(2000);
    EXPECT_EQ(seen, bytes);
    // A buffer still held keeps its bytes through later loads.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole->data()), 2700), bytes.substr(300, 2700));
}

// A long read in whole loads keeps one block of memory as long as each buffer is let go before the next load.
TEST_F(Files, ADataReaderReusesItsMemoryOnceABufferIsGone)
{
    const auto bytes = write("long.bin", 4000);
    auto file = wait_for(StorageFile::GetFileFromPathAsync(path("long.bin")));
    auto reader = foundation::make<DataReader>(wait_for(file->OpenSequentialReadAsync()));
    const std::uint8_t* first = nullptr;
    std::string seen;
    while (const auto loaded = wait_for(reader->LoadAsync(1000))) {
        const auto buffer = reader->ReadBuffer(loaded);
        if (!first) first = buffer->data();
        EXPECT_EQ(buffer->data(), first);
        seen.append(reinterpret_cast<const char*>(buffer->data()), buffer->Length());
    }
    EXPECT_EQ(seen, bytes);
}

// The bytes read are exactly the size the file had when it was opened, or the load fails.
TEST_F(Files, AFileThatShrinksOrGrowsWhileBeingReadFailsTheLoad)
{
    const auto changedWhileRead = [&](const char* what, std::uint32_t take, auto change) {
        write("changing.bin", 64 * 1024);
        auto file = wait_for(StorageFile::GetFileFromPathAsync(path("changing.bin")));
        auto stream = wait_for(file->OpenSequentialReadAsync());
        EXPECT_EQ(stream->Size(), 64 * 1024u);
        auto reader = foundation::make<DataReader>(stream);
        EXPECT_EQ(wait_for(reader->LoadAsync(take)), take) << what;
        reader->ReadBuffer(take);
        change();
        try {
            while (const auto loaded = wait_for(reader->LoadAsync(16 * 1024))) reader->ReadBuffer(loaded);
            ADD_FAILURE() << what << ": a file that changed must not read as another file";
        } catch (const foundation::hresult_error& e) {
            EXPECT_EQ(e.code(), foundation::E_CHANGED_STATE) << what;
            EXPECT_NE(foundation::to_narrow(e.message()).find("changed while it was read"), std::string::npos)
                << foundation::to_narrow(e.message());
        }
    };
    changedWhileRead("cut short", 16 * 1024, [&] { fs::resize_file(m_dir / "changing.bin", 20 * 1024); });
    changedWhileRead("grown half-way", 16 * 1024, [&] { std::ofstream(m_dir / "changing.bin", std::ios::app) << "more"; });
    changedWhileRead("grown once read", 64 * 1024, [&] { std::ofstream(m_dir / "changing.bin", std::ios::app) << "more"; });
}
