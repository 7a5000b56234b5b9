// What an x86 processor offers (cpuid), for the run-time choice of the
// digest compression's form.
#ifndef SIGVERIFY_CPU_X86_H
#define SIGVERIFY_CPU_X86_H

namespace sigverify {

// True when cpuid leaf 1 reports every bit of leaf1_ecx and leaf 7
// (subleaf 0) every bit of leaf7_ebx.
bool cpu_has(unsigned leaf1_ecx, unsigned leaf7_ebx);

}  // namespace sigverify

#endif
