#include "platform/storage/file_reader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>

// What a failed open or a changed file says is checked where files are opened for the user.
TEST(SequentialFileReader, ReadsAFileFrontToBackThenZero)
{
    QTemporaryDir folder;
    const std::filesystem::path path = folder.filePath("ten").toStdString();
    std::ofstream(path, std::ios::binary) << "0123456789";
    storage::sequential_file_reader reader(foundation::hstring(path.u16string()));
    EXPECT_EQ(reader.size(), 10u);
    std::string read;
    for (auto chunk = reader.load(4); !chunk.empty(); chunk = reader.load(4)) {
        EXPECT_LE(chunk.size(), 4u);
        read.append(chunk.begin(), chunk.end());
    }
    EXPECT_EQ(read, "0123456789");
    EXPECT_TRUE(reader.load(4).empty());
}
