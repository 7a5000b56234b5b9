// verify_file_signature on a 64 MiB signed file, side by side with OpenSSL
// computing MD5 and SHA-256 over the same bytes read from the same file; and
// the peak memory one verification adds to the process.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bignum.h"
#include "sigverify/signature_writer.h"
#include "test_private_keys.h"
#include "sigverify/verify_file.h"

using namespace sigverify;  // the code under test

namespace {

constexpr size_t kContentSize = size_t{64} << 20;

// A PE-shaped file of 64 MiB with pseudo-random sections, signed with the
// development primary key; made once per run.
class SignedFile {
public:
    SignedFile() : path_(std::filesystem::temp_directory_path() / "sweepkit_verify_bench.exe") {
        std::vector<uint8_t> content(kContentSize);
        uint64_t x = 0x9E3779B97F4A7C15u;
        for (size_t i = 0; i < content.size(); i += 8) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            std::memcpy(&content[i], &x, 8);
        }
        std::memset(content.data(), 0, 0x200);
        content[0] = 'M';
        content[1] = 'Z';
        content[60] = 0x80;
        content[0x80] = 'P';
        content[0x81] = 'E';
        content[0x80 + 24] = 0x0B;
        content[0x80 + 25] = 0x01;
        write(content);

        sigverify::sig_payload payload{};
        if (!sigverify::compute_signing_payload(wide().c_str(), &payload).ok) std::abort();
        uint8_t message[256];
        uint8_t signature[256];
        sigverify::build_signed_message(payload, message);
        private_key_operation(message, signature);
        std::vector<uint8_t> block;
        sigverify::build_signature_block(sigverify::BlockOptions{}, content.size(), signature, &block);
        content.insert(content.end(), block.begin(), block.end());
        write(content);
        size_ = content.size();
    }
    ~SignedFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    std::wstring wide() const { return path_.wstring(); }
    std::string narrow() const { return path_.string(); }
    size_t size() const { return size_; }

private:
    void write(const std::vector<uint8_t>& content) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        if (!out) std::abort();
    }

    static void private_key_operation(const uint8_t message[256], uint8_t signature[256]) {
        BigNum* n = bignum_new();
        BigNum* d = bignum_new();
        BigNum* m = bignum_new();
        BigNum* s = bignum_new();
        bignum_from_bytes(n, test_primary_key.modulus, 256);
        bignum_from_bytes(d, test_primary_key.private_exponent, 256);
        bignum_from_bytes(m, message, 256);
        if (bignum_mod_exp(s, m, d, n) != 0) std::abort();
        bignum_to_bytes(s, signature, 256);
        bignum_free(&n);
        bignum_free(&d);
        bignum_free(&m);
        bignum_free(&s);
    }

    std::filesystem::path path_;
    size_t size_ = 0;
};

const SignedFile& bench_file() {
    static const SignedFile file;
    return file;
}

void BM_verify_file_signature(benchmark::State& state) {
    const SignedFile& file = bench_file();
    const std::wstring path = file.wide();
    for (auto _ : state) {
        int code = 0;
        const bool accepted = sigverify::verify_file_signature(path.c_str(), &code, 2);
        if (!accepted || code != 3) state.SkipWithError("the signed file was not accepted");
        benchmark::DoNotOptimize(accepted);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}

// The peer: the whole file read into one buffer, then OpenSSL's MD5 and SHA-256.
void BM_openssl_md5_sha256(benchmark::State& state) {
    const SignedFile& file = bench_file();
    const std::string path = file.narrow();
    for (auto _ : state) {
        FILE* in = std::fopen(path.c_str(), "rb");
        if (in == nullptr) {
            state.SkipWithError("cannot open the file");
            break;
        }
        std::vector<uint8_t> buffer(file.size());
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        std::fclose(in);
        unsigned char md5[EVP_MAX_MD_SIZE];
        unsigned char sha[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        EVP_Digest(buffer.data(), got, md5, &length, EVP_md5(), nullptr);
        EVP_Digest(buffer.data(), got, sha, &length, EVP_sha256(), nullptr);
        benchmark::DoNotOptimize(md5);
        benchmark::DoNotOptimize(sha);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}

long status_kib(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0) return std::strtol(line.c_str() + length, nullptr, 10);
    }
    return -1;
}

// Resets the process's peak resident set (Linux), runs one verification and
// reports how far the peak rose above the resident set before it.
void BM_verify_peak_memory(benchmark::State& state) {
    const SignedFile& file = bench_file();
    const std::wstring path = file.wide();
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = status_kib("VmRSS:");
        int code = 0;
        const bool accepted = sigverify::verify_file_signature(path.c_str(), &code, 2);
        const long peak = status_kib("VmHWM:");
        if (!accepted || before < 0 || peak < 0) state.SkipWithError("no measurement");
        state.counters["file_MiB"] = static_cast<double>(file.size()) / (1 << 20);
        state.counters["peak_rise_MiB"] = static_cast<double>(peak - before) / 1024;
        state.counters["over_file_KiB"] = static_cast<double>(peak - before) - static_cast<double>(file.size()) / 1024;
    }
}

}  // namespace

BENCHMARK(BM_verify_file_signature)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_openssl_md5_sha256)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_verify_peak_memory)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
