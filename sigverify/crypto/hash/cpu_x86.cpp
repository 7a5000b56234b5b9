// Asks the processor what it offers, through cpuid.
#include "cpu_x86.h"

#include <cpuid.h>

namespace sigverify {

bool cpu_has(unsigned leaf1_ecx, unsigned leaf7_ebx) {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid(1, eax, ebx, ecx, edx);
    if ((ecx & leaf1_ecx) != leaf1_ecx) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & leaf7_ebx) == leaf7_ebx;
}

}  // namespace sigverify
