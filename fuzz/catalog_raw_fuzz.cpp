// Arbitrary bytes as a catalog memory image: loading must fail cleanly or
// give a narrow handle whose every message (up to a bound) formats the same
// into an allocated and into an exact caller buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "catalog_fuzz_support.h"
#include "lexmsg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    static const uint8_t kEmpty[1] = {0};
    lexmsg_handle* handle = nullptr;
    const int rc = lexmsg_init_rawA_mf(data == nullptr ? kEmpty : data, static_cast<uint32_t>(size), &handle);
    if (rc != LEXMSG_OK) {
        if (handle != nullptr) std::abort();
        return 0;
    }
    const lexmsg_arg_list* args = catalog_fuzz::fixed_arguments();
    auto get = [&](uint32_t id, char** buffer, uint32_t out_size) {
        return lexmsg_lgetMessageA_mf(handle, id, buffer, out_size, args);
    };
    for (uint32_t id = 0; id <= catalog_fuzz::kIdBound; ++id) catalog_fuzz::format_both_ways<char>(id, get);
    catalog_fuzz::format_both_ways<char>(UINT32_MAX, get);
    char* none = nullptr;
    if (lexmsg_lgetMessageA_mf(handle, 1, &none, 0, lexmsg_arg_list_empty()) > 0) std::abort();
    lexmsg_free(none);
    if (lexmsg_cleanupA_mf(handle) != LEXMSG_OK) std::abort();
    return 0;
}
