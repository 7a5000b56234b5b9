#!/bin/bash
# Tells whether this machine's kernel executes 32-bit x86 programs itself:
# writes a 96-byte static i386 program that only exits with 42, runs it, and
# exits 0 when it did, 1 otherwise. Prints nothing.
#
# A padding byte of the identification (offset 15) is not zero: the kernel's
# loader ignores it, but the handler that registers qemu for i386 programs
# matches only zero padding, so emulation can never answer for the kernel.
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/probe-32bit.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
{
  # identification: ELF, 32-bit, little-endian, version 1, padding ending in 1
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x01'
  # executable, i386, version 1, entry 0x08048054, program headers at 52
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  # no section headers, no flags, header sizes 52 and 32, one program header
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # one loadable segment: the whole 96 bytes at 0x08048000, readable and executable
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); mov ebx, 42; int 0x80
  printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
} > "$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
(($? == 42))
