// Arbitrary bytes as a catalog file read for its wide section: loading must
// fail cleanly or give a wide handle whose every message (up to a bound)
// formats the same into an allocated and into an exact caller buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "catalog_fuzz_support.h"
#include "lexmsg.h"

namespace {

// Rewritten for every input, in the working directory.
const char kScratchPath[] = "fuzz_catalog_wide_file.scratch";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(kScratchPath, "wb");
    if (f == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    lexmsg_handle* handle = nullptr;
    const int rc = lexmsg_initW_mf(kScratchPath, &handle);
    std::remove(kScratchPath);
    if (rc != LEXMSG_OK) {
        if (handle != nullptr || rc == LEXMSG_E_OPEN) std::abort();
        return 0;
    }
    const lexmsg_arg_list* args = catalog_fuzz::fixed_arguments();
    auto get = [&](uint32_t id, lexmsg_wchar** buffer, uint32_t out_size) {
        return lexmsg_lgetMessageW_mf(handle, id, buffer, out_size, args);
    };
    for (uint32_t id = 0; id <= catalog_fuzz::kIdBound; ++id) catalog_fuzz::format_both_ways<lexmsg_wchar>(id, get);
    catalog_fuzz::format_both_ways<lexmsg_wchar>(UINT32_MAX, get);
    if (lexmsg_cleanupW_mf(handle) != LEXMSG_OK) std::abort();
    return 0;
}
