// What an x86 processor offers (cpuid) and which register state the
// operating system saves (xgetbv), for the run-time choice of the fast
// forms: the digest compressions and the digit loops.
#pragma once

// State bits of XCR0: SSE and AVX registers, and the AVX-512 opmask and
// upper ZMM halves.
constexpr unsigned xcr0_avx_state = 0x06;
constexpr unsigned xcr0_avx512_state = 0xE6;

// True when cpuid leaf 1 reports every bit of leaf1_ecx, leaf 7 (subleaf
// 0) every bit of leaf7_ebx, and XCR0 every bit of xcr0_states (which
// needs OSXSAVE; pass 0 for instructions without register state of their
// own).
bool cpu_has(unsigned leaf1_ecx, unsigned leaf7_ebx, unsigned xcr0_states);
