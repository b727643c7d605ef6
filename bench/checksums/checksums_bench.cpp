// The checksum loop beside the command-line tools that compute the same digests, on a file in
// the page cache, and the memory the loop needs while it hashes a large file.
//
//   checksums_bench [--dir DIR] [--runs N] [--quick]   speed, on a 1 GiB file
//   checksums_bench --memory [--dir DIR]               peak memory, on a 4 GiB file
//   checksums_bench --run [--dir DIR] [--runs N] [--quick]   a whole checksum run beside the loop alone
//   checksums_bench --together [--dir DIR] [--runs N]        every OpenSSL digest at once, each run's time
//
// --quick leaves out the slow comparisons of every OpenSSL digest (minutes).
// Ratios are throughput ratios: above 1 means faster than the other side.

#include "checksums/ChecksumHashers.h"
#include "checksums/ChecksumRun.h"
#include "checksums/ChecksumsViewModel.h"
#include "platform/foundation/threading.h"
#include "platform/storage/file_reader.h"

#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace Zintrel;
namespace fs = std::filesystem;

namespace {

using Entries = std::vector<std::shared_ptr<HashAlgo>>;

constexpr std::uint64_t GiB = 1ull << 30;

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Run(const std::string& command)
{
    if (std::system((command + " > /dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// A file of the given size of pseudo-random bytes, made once and kept for later runs.
fs::path TestFile(const fs::path& folder, std::uint64_t size)
{
    const auto path = folder / ("zintrel-bench-" + std::to_string(size >> 20) + "MiB");
    if (fs::exists(path) && fs::file_size(path) == size) return path;
    std::printf("writing %s\n", path.c_str());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::mt19937_64 random(size);
    std::vector<std::uint64_t> block(1 << 17);
    for (std::uint64_t written = 0; written < size; written += block.size() * 8) {
        for (auto& word : block) word = random();
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(std::min<std::uint64_t>(block.size() * 8, size - written)));
    }
    return path;
}

// The loop of a checksum run over the opened file.
ChecksumResults HashFile(const fs::path& path, const Entries& entries, unsigned threads)
{
    auto file = foundation::make<storage::FileInputStream>(foundation::hstring(path.u16string()));
    return ChecksumRun::HashAsync(std::move(file), entries, threads).get();
}

// The same through a checksum run: the platform's file, data reader and pool hops, as a page has it.
void RunFile(const fs::path& path, const std::shared_ptr<ChecksumsViewModel>& model, const Entries& entries)
{
    model->HashAlgos()->ReplaceAll(entries);
    ChecksumRun run(model, foundation::make<storage::StorageFile>(foundation::hstring(path.u16string())));
    run.ReadAsync().get();
}

double ReadOnly(const fs::path& path)
{
    return Seconds([&] {
        storage::sequential_file_reader file(foundation::hstring(path.u16string()));
        while (!file.load(ChecksumReadChunk).empty()) {
        }
    });
}

Entries Pick(const HashAlgoVector& offered, std::initializer_list<const char16_t*> names)
{
    Entries picked;
    for (const auto* name : names)
        for (const auto& entry : *offered)
            if (entry->ShortName() == name) picked.push_back(entry);
    return picked;
}

struct Side {
    std::string name;
    std::function<void()> work;
};

// Runs both sides in turn, `runs` times, and gives the median seconds of each.
std::pair<double, double> Compare(const Side& ours, const Side& theirs, int runs)
{
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(Seconds(ours.work));
        b.push_back(Seconds(theirs.work));
    }
    const double mine = Median(a), other = Median(b);
    std::printf("  %-36s %7.3f s   %-36s %7.3f s   ratio %.2f\n", ours.name.c_str(), mine, theirs.name.c_str(), other,
                other / mine);
    return {mine, other};
}

// The digests rhash also knows, by their OpenSSL names.
const std::map<std::string, std::string> RhashNames{
    {"MD5", "--md5"},           {"SHA1", "--sha1"},         {"SHA2-224", "--sha224"},   {"SHA2-256", "--sha256"},
    {"SHA2-384", "--sha384"},   {"SHA2-512", "--sha512"},   {"SHA3-224", "--sha3-224"}, {"SHA3-256", "--sha3-256"},
    {"SHA3-384", "--sha3-384"}, {"SHA3-512", "--sha3-512"}, {"RIPEMD-160", "--ripemd160"},
    {"BLAKE2S-256", "--blake2s"}, {"BLAKE2B-512", "--blake2b"}};

void Speed(const fs::path& folder, int runs, bool quick)
{
    const auto file = TestFile(folder, GiB);
    ReadOnly(file);  // into the page cache
    std::printf("1 GiB in the page cache, %d runs each, median\n", runs);
    std::vector<double> reads;
    for (int i = 0; i < runs; ++i) reads.push_back(ReadOnly(file));
    std::printf("  reading alone in 4 MiB loads: %.3f s\n\n", Median(reads));

    auto nonCrypto = foundation::make<NonCryptoChecksumsViewModel>();
    auto openSsl = foundation::make<OpenSslChecksumsViewModel>();
    const auto quotedFile = Quoted(file);

    std::printf("each xxHash algorithm alone, beside xxhsum (target ratio >= 0.9)\n");
    const std::pair<const char16_t*, const char*> xxh[] = {{u"XXH64", "-H1"}, {u"XXH3", "-H3"}, {u"XXH128", "-H2"}};
    double alone = 0;
    for (const auto& [name, option] : xxh) {
        const auto entries = Pick(nonCrypto->AvailableHashAlgos(), {name});
        alone += Compare({foundation::to_narrow(name), [&] { HashFile(file, entries, 0); }},
                         {std::string("xxhsum ") + option, [&] { Run(std::string("xxhsum ") + option + " " + quotedFile); }},
                         runs)
                     .first;
    }

    std::printf("\nall three xxHash algorithms together (target ratio >= 1 against one after another)\n");
    const Entries allXxh(nonCrypto->AvailableHashAlgos()->begin(), nonCrypto->AvailableHashAlgos()->end());
    const auto together = Compare({"together, spread as planned", [&] { HashFile(file, allXxh, 0); }},
                                  {"together, one thread", [&] { HashFile(file, allXxh, 1); }}, runs);
    std::printf("  %-36s %7.3f s   ratio %.2f\n", "sum of each alone", alone, alone / together.first);

    std::printf("\nSHA-256 alone, beside openssl dgst (target ratio >= 0.9)\n");
    const auto sha256 = Pick(openSsl->AvailableHashAlgos(), {u"SHA2-256"});
    Compare({"SHA2-256", [&] { HashFile(file, sha256, 0); }},
            {"openssl dgst -sha256", [&] { Run("openssl dgst -sha256 " + quotedFile); }}, runs);

    if (quick) return;
    const Entries all(openSsl->AvailableHashAlgos()->begin(), openSsl->AvailableHashAlgos()->end());
    std::printf("\nevery digest of the OpenSSL page (%zu) together\n", all.size());
    // One pass cannot beat the digests' summed work shared by every processor, nor the slowest digest.
    double summed = 0, slowest = 0;
    std::string slowestName;
    for (const auto& entry : all) {
        const double alone = Seconds([&] { HashFile(file, {entry}, 1); });
        summed += alone;
        if (alone > slowest) slowest = alone, slowestName = foundation::to_narrow(entry->ShortName());
    }
    const unsigned processors = foundation::processors::available();
    const double limit = std::max(summed / processors, slowest);
    std::printf("  each alone on one thread: summed %.3f s, slowest %s %.3f s, %u processors\n", summed,
                slowestName.c_str(), slowest, processors);
    std::vector<double> spreads, cpus;
    for (int i = 0; i < runs; ++i) {
        const auto cpuStart = std::clock();
        spreads.push_back(Seconds([&] { HashFile(file, all, 0); }));
        cpus.push_back(static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    const double spread = Median(spreads);
    std::printf("  limit, max(summed / processors, slowest): %7.3f s\n", limit);
    std::printf("  ours, all together (median of %d):       %7.3f s   ratio %.2f (target >= 0.85)   CPU %.3f s\n", runs,
                spread, limit / spread, Median(cpus));
    const double oneThread = Seconds([&] { HashFile(file, all, 1); });
    std::printf("  one after another on one thread:          %7.3f s   ratio %.2f (target >= 4)\n", oneThread,
                oneThread / spread);

    std::string rhash = "rhash";
    Entries rhashSet;
    for (const auto& entry : all) {
        const auto found = RhashNames.find(foundation::to_narrow(entry->ShortName()));
        if (found == RhashNames.end()) continue;
        rhash += " " + found->second;
        rhashSet.push_back(entry);
    }
    const double rhashTime = Seconds([&] { Run(rhash + " " + quotedFile); });
    const double rhashSetOurs = Seconds([&] { HashFile(file, rhashSet, 0); });
    std::printf("  rhash, the %zu digests it knows:    %7.3f s   ours on the same %zu: %.3f s   ratio %.2f (target >= 3)\n",
                rhashSet.size(), rhashTime, rhashSet.size(), rhashSetOurs, rhashTime / rhashSetOurs);
    std::printf("  rhash beside ours on all %zu:       ratio %.2f\n", all.size(), rhashTime / spread);

    double separate = 0;
    for (const auto& entry : all) {
        const auto name = foundation::to_narrow(entry->ShortName());
        const bool xof = EVP_MD_get_flags(std::get<const EVP_MD*>(entry->Algorithm())) & EVP_MD_FLAG_XOF;
        separate += Seconds([&] { Run("openssl dgst -" + name + (xof ? " -xoflen 64 " : " ") + quotedFile); });
    }
    std::printf("  sum of separate openssl dgst runs: %7.3f s   ratio %.2f\n", separate, separate / spread);
}

// Every OpenSSL digest at once, each run on its own line: for comparing builds run in turn.
void Together(const fs::path& folder, int runs)
{
    const auto file = TestFile(folder, GiB);
    ReadOnly(file);
    auto openSsl = foundation::make<OpenSslChecksumsViewModel>();
    const Entries all(openSsl->AvailableHashAlgos()->begin(), openSsl->AvailableHashAlgos()->end());
    for (int i = 0; i < runs; ++i) {
        const auto cpuStart = std::clock();
        const double seconds = Seconds([&] { HashFile(file, all, 0); });
        std::printf("every OpenSSL digest together: %7.3f s   CPU %7.3f s\n", seconds,
                    static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        std::fflush(stdout);
    }
}

std::uint64_t StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stoull(line.substr(key.size()));
    return 0;
}

void RunBesideLoop(const fs::path& folder, int runs, bool quick)
{
    const auto file = TestFile(folder, GiB);
    ReadOnly(file);
    auto nonCrypto = foundation::make<NonCryptoChecksumsViewModel>();
    auto openSsl = foundation::make<OpenSslChecksumsViewModel>();
    std::printf("1 GiB in the page cache, a whole checksum run beside the loop alone, %d runs each, median "
                "(target ratio >= 0.9)\n", runs);
    const std::pair<const char*, std::pair<std::shared_ptr<ChecksumsViewModel>, Entries>> sets[] = {
        {"XXH3", {nonCrypto, Pick(nonCrypto->AvailableHashAlgos(), {u"XXH3"})}},
        {"XXH128, XXH3, XXH64", {nonCrypto, Entries(nonCrypto->AvailableHashAlgos()->begin(), nonCrypto->AvailableHashAlgos()->end())}},
        {"SHA2-256", {openSsl, Pick(openSsl->AvailableHashAlgos(), {u"SHA2-256"})}},
        {"every OpenSSL digest", {openSsl, Entries(openSsl->AvailableHashAlgos()->begin(), openSsl->AvailableHashAlgos()->end())}},
    };
    for (const auto& [name, set] : sets) {
        if (quick && set.second.size() > 3) continue;
        const auto& [model, entries] = set;
        Compare({std::string("run: ") + name, [&] { RunFile(file, model, entries); }},
                {std::string("loop: ") + name, [&] { HashFile(file, entries, 0); }}, runs);
    }
}

// A file of holes: as large as asked, without the disk space.
fs::path SparseFile(const fs::path& folder, std::uint64_t size)
{
    const auto path = folder / ("zintrel-bench-sparse-" + std::to_string(size >> 20) + "MiB");
    std::ofstream(path, std::ios::binary | std::ios::trunc).put('\0');
    fs::resize_file(path, size);
    return path;
}

void Memory(const fs::path& folder)
{
    {
        const auto sparse = SparseFile(folder, 4 * GiB);
        auto openSsl = foundation::make<OpenSslChecksumsViewModel>();
        const Entries all(openSsl->AvailableHashAlgos()->begin(), openSsl->AvailableHashAlgos()->end());
        std::printf("peak resident memory over a 4 GiB sparse file, every OpenSSL digest (target: flat, <= 64 MiB "
                    "above idle)\n");
        const std::pair<const char*, std::function<void()>> sides[] = {
            {"checksum run", [&] { RunFile(sparse, openSsl, all); }},
            {"loop alone", [&] { HashFile(sparse, all, 0); }}};
        for (const auto& [name, work] : sides) {
            std::ofstream("/proc/self/clear_refs") << "5";
            const auto idle = StatusKiB("VmRSS");
            const double seconds = Seconds(work);
            const auto peak = StatusKiB("VmHWM");
            std::printf("  %-14s before %6.1f MiB   peak %6.1f MiB   after %6.1f MiB   above before %5.1f MiB   (%.1f s)\n",
                        name, idle / 1024.0, peak / 1024.0, StatusKiB("VmRSS") / 1024.0, (peak - idle) / 1024.0, seconds);
        }
        std::printf("\n");
        fs::remove(sparse);
    }
    const auto file = TestFile(folder, 4 * GiB);
    auto nonCrypto = foundation::make<NonCryptoChecksumsViewModel>();
    auto openSsl = foundation::make<OpenSslChecksumsViewModel>();
    const Entries xxh(nonCrypto->AvailableHashAlgos()->begin(), nonCrypto->AvailableHashAlgos()->end());
    const Entries all(openSsl->AvailableHashAlgos()->begin(), openSsl->AvailableHashAlgos()->end());
    std::printf("peak resident memory while hashing 4 GiB (target <= 64 MiB above idle)\n");
    for (const auto& [name, entries] : {std::pair{"three xxHash algorithms", &xxh}, std::pair{"every OpenSSL digest", &all}}) {
        // Writing 5 resets the peak the kernel keeps for the process.
        std::ofstream("/proc/self/clear_refs") << "5";
        const auto idle = StatusKiB("VmRSS");
        const double seconds = Seconds([&] { HashFile(file, *entries, 0); });
        const auto peak = StatusKiB("VmHWM");
        std::printf("  %-24s idle %6.1f MiB   peak %6.1f MiB   above idle %5.1f MiB   (%.1f s)\n", name, idle / 1024.0,
                    peak / 1024.0, (peak - idle) / 1024.0, seconds);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    fs::path folder = fs::temp_directory_path();
    int runs = 5;
    bool memory = false, quick = false, run = false, together = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) folder = argv[++i];
        else if (arg == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--memory") memory = true;
        else if (arg == "--quick") quick = true;
        else if (arg == "--run") run = true;
        else if (arg == "--together") together = true;
        else {
            std::fprintf(stderr,
                         "usage: %s [--dir DIR] [--runs N] [--quick] | --memory [--dir DIR] | --run [--dir DIR] [--runs N] "
                         "[--quick] | --together [--dir DIR] [--runs N]\n",
                         argv[0]);
            return 2;
        }
    }
    if (memory) Memory(folder);
    else if (run) RunBesideLoop(folder, runs, quick);
    else if (together) Together(folder, runs);
    else Speed(folder, runs, quick);
}
