#pragma once
// Real locales for tests: the de_DE locale compiled by localedef under the given names into a
// private folder, for LOCPATH. None where localedef fails. Each call has a folder of its own:
// the C library remembers, by folder, the locales it once failed to find there.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

inline std::optional<std::filesystem::path> compile_locales(std::initializer_list<const char*> names)
{
    static int calls = 0;
    const auto folder = std::filesystem::temp_directory_path() /
                        ("zintrel-locales-" + std::to_string(getpid()) + "-" + std::to_string(++calls));
    std::filesystem::create_directories(folder);
    for (const char* name : names) {
        const std::string command = "localedef -c -i de_DE -f UTF-8 '" + (folder / name).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / name)) return std::nullopt;
    }
    return folder;
}
