#!/bin/bash
# Installs what a fresh Debian 12 machine lacks to build and test the kit.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake git pkg-config openssl file binutils
  zlib1g-dev libgtest-dev googletest libbenchmark-dev libssl-dev
  clang libclang-rt-14-dev llvm
  g++-mingw-w64-i686 libz-mingw-w64-dev binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  gettext osslsigncode liblnk-utils valgrind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "setup: everything is present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
