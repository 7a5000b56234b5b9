#!/bin/sh
# Runs a Win32 program under Wine in a throwaway prefix inside the build tree.
# Usage: wine-run.sh ROOT PROGRAM [ARGS...]
set -e
root=$1; shift
mkdir -p "$root/home"
export HOME="$root/home" WINEPREFIX="$root/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/.sk-ready" ]; then
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.sk-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.sk-ready"
    fi
  ) 9>"$root/.lock"
fi
exec wine "$@"
