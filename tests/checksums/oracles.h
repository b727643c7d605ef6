#pragma once
// Files of the sizes that matter to the checksum loop, and what the command-line tools say of them.

#include "checksums/ChecksumHashers.h"
#include "checksums/ChecksumsViewModel.h"
#include "checksums/HashAlgo.h"
#include "platform/foundation/threading.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace test {

inline constexpr std::size_t MiB = 1024 * 1024;
inline constexpr std::size_t RingWrapSize = (Zintrel::ChecksumRingChunks + 1) * Zintrel::ChecksumReadChunk + 1;

inline std::string Upper(std::string text)
{
    for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// What the command writes to its standard output.
inline std::string Output(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        ::pclose(pipe);
    }
    return output;
}
inline std::string FirstWord(const std::string& command)
{
    const auto output = Output(command);
    return output.substr(0, output.find_first_of(" \n"));
}

inline std::vector<foundation::hstring> Names(const Zintrel::HashAlgoVector& entries)
{
    std::vector<foundation::hstring> names;
    for (const auto& entry : *entries) names.push_back(entry->ShortName());
    return names;
}

// The upper-case checksum that xxhsum or openssl dgst gives for the entry's algorithm.
inline std::string ToolChecksum(const Zintrel::HashAlgo& entry, const std::filesystem::path& file)
{
    const auto name = foundation::to_narrow(entry.ShortName());
    const auto quoted = " '" + file.string() + "' 2>/dev/null";
    if (const auto* digest = std::get_if<const EVP_MD*>(&entry.Algorithm())) {
        const bool xof = EVP_MD_get_flags(*digest) & EVP_MD_FLAG_XOF;
        return Upper(FirstWord("openssl dgst -r -" + name + (xof ? " -xoflen 64" : "") + quoted));
    }
    // xxhsum writes XXH3 in BSD style: "XXH3 (file) = hex".
    if (name == "XXH3") return Upper(FirstWord("xxhsum -H3" + quoted + " | sed 's/.*= //'"));
    return Upper(FirstWord((name == "XXH64" ? "xxhsum -H1" : "xxhsum -H2") + quoted));
}

// Caps the pool for the life of the object.
struct PoolCap {
    explicit PoolCap(unsigned threads) { foundation::thread_pool::limit_threads_for_tests(threads); }
    ~PoolCap() { foundation::thread_pool::limit_threads_for_tests(0); }
    PoolCap(const PoolCap&) = delete;
    PoolCap& operator=(const PoolCap&) = delete;
};

// Files of the lengths around the chunk size, a known vector, the empty file, and one a byte longer
// than the ring of chunks is with one more chunk: reading must wait there for the slowest hasher.
class ChecksumFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::filesystem::temp_directory_path() /
                   ("zintrel-checksums-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(s_folder);
        s_files = {File("abc", "abc")};
        for (const auto size : {std::size_t{0}, std::size_t{1}, 4 * MiB - 1, 4 * MiB, 4 * MiB + 1, 8 * MiB, 9 * MiB, RingWrapSize}) {
            std::mt19937_64 random(size);
            std::string bytes(size, '\0');
            for (auto& b : bytes) b = static_cast<char>(random());
            s_files.push_back(File("random-" + std::to_string(size), bytes));
        }
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(s_folder); }

    static std::filesystem::path File(const std::string& name, const std::string& bytes)
    {
        const auto path = s_folder / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static inline std::filesystem::path s_folder;
    static inline std::vector<std::filesystem::path> s_files;
};

}  // namespace test
