// Fuzzes the signature block parser: every input is a whole file.
#include <cstddef>
#include <cstdint>

#include "fuzz_temp_file.h"
#include "sigverify/sig_file.h"
#include "sigverify/sig_types.h"
#include "signature_block_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzing::FuzzTempFile file("signature_block_parser");
    if (size > 0xFFFFFFFFu || !file.write(data, size)) return 0;
    sigverify::SigFile* handle = sigverify::platform_file_door().open(file.wide());
    if (handle == nullptr) return 0;
    sigverify::sig_block_info info{};
    int code = 0;
    if (sigverify::parse_signature_block(handle, static_cast<uint32_t>(size), &info, &code)) {
        // The parsed block must describe a range inside the file.
        const uint64_t first = static_cast<uint64_t>(size) - info.block_distance - info.lead_pad;
        if (info.block_distance + static_cast<uint64_t>(info.lead_pad) > size || first + info.span > size) {
            __builtin_trap();
        }
        sigverify::release_block_info(&info);
    } else if (code != 3 && code != 7 && code != 8 && code != 13) {
        __builtin_trap();
    }
    sigverify::sig_file_close(&handle);
    return 0;
}
