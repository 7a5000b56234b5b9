// The verification wrapper: the verification's answer as "verified" or a
// failure value.
#include "verify_before_start.h"

namespace installer {
namespace {

constexpr uint32_t kModeWithLegacyFallback = 2;

}  // namespace

int VerifyFileBeforeStart(Platform& platform, const wchar_t* path) {
    if (path == nullptr) return 8;
    int code = 0;
    if (platform.VerifyFileSignature(path, &code, kModeWithLegacyFallback)) return 0;
    switch (code) {
        case 11:
            return 0;  // the block verified with the secondary key
        case 1:
            return 2;
        case 2:
        case 3:
            return 4;
        case 4:
            return 8;
        case 7:
            return 6;
        case 8:
        case 9:
        case 10:
            return 5;
        case 13:
            return 1;
        default:
            return 10;
    }
}

}  // namespace installer
