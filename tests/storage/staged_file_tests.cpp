#include "platform/storage/staged_file.h"

#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using storage::file_access;
using storage::staged_file;

namespace {

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

void write_text(staged_file& file, std::string_view text) { file.write(std::as_bytes(std::span(text))); }

}  // namespace

TEST(StagedFile, TheOldFileStaysUntilTheNewOneIsCommitted)
{
    QTemporaryDir folder;
    const fs::path destination = folder.filePath("out.txt").toStdString();
    std::ofstream(destination) << "old";

    staged_file file(destination, file_access::shared);
    write_text(file, "new contents");
    file.close();
    EXPECT_EQ(contents(destination), "old");
    EXPECT_EQ(entries(folder.path().toStdString()), 2u);
    file.commit();
    EXPECT_EQ(contents(destination), "new contents");
    EXPECT_EQ(entries(folder.path().toStdString()), 1u);
}

TEST(StagedFile, DroppedBeforeCommitItLeavesNothing)
{
    QTemporaryDir folder;
    const fs::path destination = folder.filePath("out.txt").toStdString();
    {
        staged_file file(destination, file_access::owner_only);
        write_text(file, "half");
    }
    EXPECT_EQ(entries(folder.path().toStdString()), 0u);
}

TEST(StagedFile, ModesAreGivenAtCreation)
{
    QTemporaryDir folder;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const fs::path shared = folder.filePath("shared").toStdString(), own = folder.filePath("own").toStdString();
    staged_file first(shared, file_access::shared), second(own, file_access::owner_only);
    first.commit();
    second.commit();
    EXPECT_EQ(static_cast<unsigned>(fs::status(shared).permissions() & fs::perms::mask), 0666u & ~mask);
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::mask, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(StagedFile, AFolderInTheWayIsRefusedBeforeAnythingIsWritten)
{
    QTemporaryDir folder;
    const fs::path destination = folder.filePath("taken").toStdString();
    fs::create_directory(destination);
    try {
        staged_file file(destination, file_access::shared);
        ADD_FAILURE() << "staged over a folder";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::is_a_directory);
    }
    EXPECT_EQ(entries(folder.path().toStdString()), 1u);
}
