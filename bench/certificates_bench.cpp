// Time to make a key with a self-signed certificate or with a request, for each key type of the
// pages, beside `openssl req -x509 -newkey rsa:N -nodes` for the same N. The openssl runs include
// starting a process; openssl_start measures that part alone.
//
// RSA key generation searches for primes, so single runs vary widely: compare the means.

#include "certificates/CertificateBuilders.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

using namespace Zintrel;

namespace {

// RSA key types 0-2 (2048, 3072, 4096 bits); 3-5 are ML-DSA, skipped where the library lacks it.
constexpr int key_types = 6;
constexpr int rsa_key_types = 3;

// Fixed counts: enough runs to even out the prime search without waiting minutes for 4096 bits.
int iterations(int index) { return index == 0 ? 40 : index == 1 ? 15 : 8; }

bool key_type_available(benchmark::State& state, int index)
{
    try {
        generate_key(KeyTypeTable.at(index));
        return true;
    } catch (const std::error_code& error) {
        state.SkipWithError(("this library makes no such key: " + error.message()).c_str());
        return false;
    }
}

void self_signed_certificate(benchmark::State& state, int index)
{
    if (!key_type_available(state, index)) return;
    const certificate_params params{.purpose = 3, .key = KeyTypeTable.at(index), .valid_days = 365,
                                    .subject = {.common_name = "bench.example", .alt_names = "192.0.2.7"}};
    for (auto _ : state) benchmark::DoNotOptimize(make_self_signed_certificate(params));
}

void certificate_request(benchmark::State& state, int index)
{
    if (!key_type_available(state, index)) return;
    const request_params params{.purpose = 3, .key = KeyTypeTable.at(index),
                                .subject = {.common_name = "bench.example", .alt_names = "192.0.2.7"}};
    for (auto _ : state) benchmark::DoNotOptimize(make_certificate_request(params));
}

void run(benchmark::State& state, const std::string& command)
{
    if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

void openssl_req_x509(benchmark::State& state, int index)
{
    const auto bits = std::get<rsa_bits>(KeyTypeTable.at(index)).bits;
    const auto folder = std::filesystem::temp_directory_path();
    const auto key = (folder / "zintrel-bench.key").string(), certificate = (folder / "zintrel-bench.crt").string();
    const std::string command = "openssl req -x509 -newkey rsa:" + std::to_string(bits) +
                                " -nodes -subj /CN=bench.example -days 365 -keyout " + key + " -out " + certificate +
                                " 2>/dev/null";
    for (auto _ : state) run(state, command);
    std::filesystem::remove(key);
    std::filesystem::remove(certificate);
}

void openssl_start(benchmark::State& state)
{
    for (auto _ : state) run(state, "openssl version >/dev/null");
}

}  // namespace

int main(int argc, char** argv)
{
    for (int index = 0; index < key_types; ++index) {
        const auto suffix = "/key_type:" + std::to_string(index);
        auto* certificate = benchmark::RegisterBenchmark(("self_signed_certificate" + suffix).c_str(),
                                                         self_signed_certificate, index);
        auto* request =
            benchmark::RegisterBenchmark(("certificate_request" + suffix).c_str(), certificate_request, index);
        certificate->Unit(benchmark::kMillisecond);
        request->Unit(benchmark::kMillisecond);
        if (index >= rsa_key_types) continue;
        certificate->Iterations(iterations(index));
        request->Iterations(iterations(index));
        benchmark::RegisterBenchmark(("openssl_req_x509" + suffix).c_str(), openssl_req_x509, index)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(iterations(index));
    }
    benchmark::RegisterBenchmark("openssl_start", openssl_start)->Unit(benchmark::kMillisecond)->Iterations(40);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
