#include "platform/storage/file_reader.h"

#include "platform/foundation/error.h"
#include "tests/support/event_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

foundation::hstring Path(const std::filesystem::path& path) { return foundation::hstring(path.u16string()); }

// The message a failed open carries.
std::string OpenFailure(const std::filesystem::path& path)
{
    try {
        storage::sequential_file_reader reader(Path(path));
    } catch (const foundation::hresult_error& error) {
        return foundation::to_narrow(error.message());
    }
    return "opened";
}

}  // namespace

TEST(SequentialFileReader, ReadsAFileFrontToBackThenZero)
{
    const auto path = std::filesystem::temp_directory_path() / ("zintrel-reader-" + std::to_string(std::random_device{}()));
    std::ofstream(path, std::ios::binary) << "0123456789";
    storage::sequential_file_reader reader(Path(path));
    EXPECT_EQ(reader.size(), 10u);
    std::string read;
    for (auto chunk = reader.load(4); !chunk.empty(); chunk = reader.load(4)) {
        EXPECT_LE(chunk.size(), 4u);
        read.append(chunk.begin(), chunk.end());
    }
    EXPECT_EQ(read, "0123456789");
    EXPECT_TRUE(reader.load(4).empty());
    std::filesystem::remove(path);
}

TEST(SequentialFileReader, RefusesWhatIsNotARegularFileNamingPathAndReason)
{
    const auto missing = std::filesystem::temp_directory_path() / "zintrel-no-such-file";
    const auto message = OpenFailure(missing);
    EXPECT_NE(message.find(missing.string()), std::string::npos) << message;
    EXPECT_NE(message.find("No such file"), std::string::npos) << message;

    EXPECT_NE(OpenFailure(std::filesystem::temp_directory_path()).find("directory"), std::string::npos);
    EXPECT_NE(OpenFailure("/dev/null").find("/dev/null"), std::string::npos);
}

// Files of the kernel give a size that is not their length: /proc ones say 0 and have content,
// /sys ones say a page and have less. Either is read as a file that changed, never as a short or
// empty file.
TEST(SequentialFileReader, AFileWhoseLengthIsNotItsSizeHasChangedWhileItWasRead)
{
    for (const char* path : {"/proc/self/status", "/sys/class/net/lo/address"}) {
        if (!std::filesystem::exists(path)) continue;
        storage::sequential_file_reader reader(Path(path));
        try {
            while (!reader.load(4096).empty()) {
            }
            ADD_FAILURE() << path << " read as a file of " << reader.size() << " bytes";
        } catch (const foundation::hresult_error& error) {
            const auto message = foundation::to_narrow(error.message());
            EXPECT_EQ(error.code(), foundation::E_CHANGED_STATE) << message;
            EXPECT_NE(message.find(std::string("\"") + path + "\" changed while it was read"), std::string::npos) << message;
        }
    }
}
