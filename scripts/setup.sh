#!/bin/bash
# Installs what a fresh Debian 12 machine lacks to build and test the kit.
# Idempotent: when everything is present it only checks and returns.
#
# On a machine that does not execute 32-bit x86 code (scripts/probe-32bit.sh
# says which), it also installs qemu's user-mode emulator and registers it
# for i386 programs, once per boot, so that 32-bit Wine can run the smoke
# tests of the 32-bit build. A machine that runs 32-bit code is left as it is.
set -euo pipefail
here=$(dirname "$0")

packages=(
  build-essential cmake git pkg-config openssl file binutils
  zlib1g-dev libgtest-dev googletest libbenchmark-dev libssl-dev
  clang libclang-rt-14-dev llvm
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 wine32:i386 xvfb xauth
  gettext osslsigncode liblnk-utils valgrind
  man-db groff-base lintian
  xdotool icoutils imagemagick nsis
)
emulate_32bit=false
if ! "$here/probe-32bit.sh"; then
  emulate_32bit=true
  packages+=(qemu-user-static)
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "setup: every package is present"
else
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  echo "setup: packages installed"
fi

# The handler for i386 programs (Debian's update-binfmts does not offer one on
# an amd64 host). It matches only zero identification padding, as every real
# program has; the probe's program escapes it and still asks the kernel.
if $emulate_32bit; then
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" || true
  fi
  if [ -e "$binfmt/qemu-i386" ]; then
    echo "setup: this machine does not execute 32-bit code; qemu runs i386 programs (handler already registered)"
  elif echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      | $SUDO tee "$binfmt/register" >/dev/null; then
    echo "setup: this machine does not execute 32-bit code; registered qemu-i386-static for i386 programs, so 32-bit Wine runs by emulation"
  else
    echo "setup: this machine does not execute 32-bit code, and qemu could not be registered for i386 programs: the 32-bit smoke tests will fail" >&2
  fi
fi
