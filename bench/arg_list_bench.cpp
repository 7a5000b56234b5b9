// Reading serialized argument lists of the largest count the format carries:
// 65,535 elements, as one-byte chars (128 KiB of input) and as ints, beside
// writing the same lists. Untrusted bytes must read in time linear in their
// length; the figure to watch is well under 10 ms per read.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "lexmsg.h"

namespace {

constexpr uint32_t kElements = 65535;

// The bytes of a list of kElements elements of one tag and payload size.
std::vector<unsigned char> serialized(unsigned char tag, uint32_t payload_size) {
    std::vector<unsigned char> bytes = {static_cast<unsigned char>(kElements & 0xFF),
                                        static_cast<unsigned char>(kElements >> 8)};
    for (uint32_t i = 0; i < kElements; ++i) {
        bytes.push_back(tag);
        for (uint32_t b = 0; b < payload_size; ++b) bytes.push_back(static_cast<unsigned char>(i >> (8 * b)));
    }
    return bytes;
}

void read_list(benchmark::State& state, const std::vector<unsigned char>& bytes) {
    for (auto _ : state) {
        lexmsg_arg_list* list = nullptr;
        const int rc = lexmsg_arg_list_deserialize(&list, bytes.data(), static_cast<uint32_t>(bytes.size()));
        if (rc != 0 || lexmsg_arg_list_length(list) != static_cast<int>(kElements)) {
            throw std::runtime_error("deserialize failed");
        }
        benchmark::DoNotOptimize(list);
        lexmsg_arg_list_free(list);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kElements);
}

void BM_lexmsg_arg_list_deserialize_65535_chars(benchmark::State& state) {
    read_list(state, serialized(LEXMSG_ARG_CHAR, 1));
}

void BM_lexmsg_arg_list_deserialize_65535_ints(benchmark::State& state) {
    read_list(state, serialized(LEXMSG_ARG_INT, 4));
}

// The peer: writing a list of the same length back to its bytes.
void BM_lexmsg_arg_list_serialize_65535_chars(benchmark::State& state) {
    const std::vector<unsigned char> bytes = serialized(LEXMSG_ARG_CHAR, 1);
    lexmsg_arg_list* list = nullptr;
    if (lexmsg_arg_list_deserialize(&list, bytes.data(), static_cast<uint32_t>(bytes.size())) != 0) {
        throw std::runtime_error("deserialize failed");
    }
    std::vector<unsigned char> out(bytes.size());
    for (auto _ : state) {
        uint32_t size = static_cast<uint32_t>(out.size());
        if (lexmsg_arg_list_serialize(list, out.data(), &size) != 0) throw std::runtime_error("serialize failed");
        benchmark::DoNotOptimize(out.data());
    }
    lexmsg_arg_list_free(list);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

}  // namespace

BENCHMARK(BM_lexmsg_arg_list_deserialize_65535_chars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lexmsg_arg_list_deserialize_65535_ints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_lexmsg_arg_list_serialize_65535_chars)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
