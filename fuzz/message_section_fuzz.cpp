// Arbitrary bytes as an expanded catalog section, past the zlib checksum that
// keeps mutated catalogs from inflating: byte 0 picks the handle kind, bytes
// 1-4 the highest id, the rest is the section. Every message up to a bound
// must format the same into an allocated and into an exact caller buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "catalog_fuzz_support.h"
#include "handle.h"
#include "le_bytes.h"
#include "lexmsg.h"
#include "memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5 || size - 5 > UINT32_MAX) return 0;
    const uint32_t section_size = static_cast<uint32_t>(size - 5);
    // An exact copy, so a read past the section is a read past its block.
    auto* section = static_cast<unsigned char*>(lexmsg::mem_alloc(section_size));
    if (section == nullptr) std::abort();
    if (section_size != 0) std::memcpy(section, data + 5, section_size);
    lexmsg_handle handle = {(data[0] & 1) != 0 ? 1u : 2u, section, section_size, lexmsg::load_le32(data + 1)};
    const lexmsg_arg_list* args = catalog_fuzz::fixed_arguments();
    for (uint32_t id = 0; id <= catalog_fuzz::kIdBound; ++id) {
        if (handle.kind == 1) {
            catalog_fuzz::format_both_ways<lexmsg_wchar>(id, [&](uint32_t i, lexmsg_wchar** b, uint32_t s) {
                return lexmsg_lgetMessageW_mf(&handle, i, b, s, args);
            });
        } else {
            catalog_fuzz::format_both_ways<char>(
                id, [&](uint32_t i, char** b, uint32_t s) { return lexmsg_lgetMessageA_mf(&handle, i, b, s, args); });
        }
    }
    lexmsg::mem_free(section);
    return 0;
}
