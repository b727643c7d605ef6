#pragma once
// What tests that write files read back: a file's bytes, a folder's entries, a file's mode.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace test {

inline std::string file_text(const std::filesystem::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

// Every name in the folder with its contents ("/" for a folder), hidden ones included.
inline std::map<std::string, std::string> listing(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        found.emplace(entry.path().filename().string(), entry.is_directory() ? "/" : file_text(entry.path()));
    return found;
}

// The permission bits, 0 when the file is missing.
inline unsigned mode_of(const std::filesystem::path& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

}  // namespace test
