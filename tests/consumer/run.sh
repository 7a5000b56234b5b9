#!/bin/sh
# Builds the consumer against an installed lexmsg twice, with find_package
# and with the flags that pkg-config prints, and runs both (or checks them
# as files where they cannot run).
# Usage: run.sh PREFIX WORK MACHINE [WINE_ROOT]
#   PREFIX   an installed lexmsg (cmake --install, or unpacked packages)
#   WORK     a scratch folder, emptied first
#   MACHINE  native, x86-64 or i386 (the last two: Windows, cross-built)
#   WINE_ROOT  where a Windows consumer runs under Wine (cmake/wine-run.sh);
#              without it a Windows consumer is only checked as a file
set -eu
prefix=$1; work=$2; machine=$3; wine_root=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
expected="Hello from consumer, 3 times."
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work" && mkdir -p "$work/cmake" "$work/pkg-config"
pc=$(find "$prefix" -name lexmsg.pc | head -1)
[ -n "$pc" ] || fail "no lexmsg.pc under $prefix"
case "$machine" in
  native) cc=${CC:-cc}; toolchain=""; exe="" ;;
  x86-64) cc=x86_64-w64-mingw32-gcc-posix; toolchain=$source_root/cmake/toolchain-mingw-x86_64.cmake; exe=.exe ;;
  i386) cc=i686-w64-mingw32-gcc-posix; toolchain=$source_root/cmake/toolchain-mingw-i686.cmake; exe=.exe ;;
  *) fail "unknown machine $machine" ;;
esac

# find_package(lexmsg), as a user's CMake project does; a cross-build finds
# packages only below its find roots, so the prefix becomes one.
if [ -z "$toolchain" ]; then
  where="-DCMAKE_PREFIX_PATH=$prefix"
else
  where="-DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_FIND_ROOT_PATH=$prefix -DCMAKE_PREFIX_PATH=/"
fi
# shellcheck disable=SC2086  # the settings are words
cmake -S "$here" -B "$work/cmake" -DCMAKE_BUILD_TYPE=Release $where >"$work/cmake.log" 2>&1 \
  || { cat "$work/cmake.log"; fail "configure"; }
cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; fail "build with find_package"; }

# pkg-config, as a user's Makefile does; nothing but the .pc file's own place.
flags=$(PKG_CONFIG_LIBDIR=$(dirname "$pc") pkg-config --cflags --libs lexmsg) || fail "pkg-config"
echo "pkg-config: $flags"
# shellcheck disable=SC2086  # the flags are words
$cc -o "$work/pkg-config/consumer$exe" "$here/consumer.c" $flags || fail "build with pkg-config flags"

libdir=$(dirname "$(dirname "$pc")")
catalog=$here/hello.cat
for build in cmake pkg-config; do
  program=$work/$build/consumer$exe
  case "$machine" in
    native)
      # The CMake build finds the library through its run path; the other as
      # a user's program does, through the loader's path.
      out=$(LD_LIBRARY_PATH=$libdir "$program" "$catalog") || fail "$build consumer: exit $?" ;;
    *)
      "$source_root/cmake/check-pe.sh" "$program" "$machine" console lexmsg.dll || fail "$build consumer as a file"
      [ -n "$wine_root" ] || continue
      cp "$prefix/bin/lexmsg.dll" "$work/$build/"
      loader=wine64; [ "$machine" = i386 ] && loader=wine
      out=$("$source_root/cmake/wine-run.sh" "$wine_root" "$loader" "$program" "$catalog" | tr -d '\r') \
        || fail "$build consumer under Wine: exit $?" ;;
  esac
  [ "$out" = "$expected" ] || fail "$build consumer printed '$out', not '$expected'"
  echo "$build consumer: $out"
done
