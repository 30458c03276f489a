#!/usr/bin/env bash
# Pins the platform behaviour behind the kept 32-bit type library: the
# 64-bit finisher, asked for a 32-bit (SYS_WIN32) library, writes vtable
# offsets for 8-byte pointers, and dllcheck's layout check reports them.
# Should Wine ever write 4-byte offsets there, this test fails and says that
# the 64-bit finisher could then serve the product too.
# Usage: writer_layout_test.sh BUILD DLLCHECK
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 dllcheck=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$here/scripts/wine-env" "$build/wineprefix-build" "$build"
gen=$build/gen
"$here/scripts/wine" "$build/tlbfinish.exe" --syskind=win32 "Z:$gen/VemoFunction_widl.tlb" "Z:$work/w32.tlb" \
  "Z:$gen/ado21.tlb" "Z:$gen/collection.tlb" "Z:$gen/pyx.tlb" || { echo "FAIL: the finisher did not run"; exit 1; }
out=$("$dllcheck" --typelib-layout "$work/w32.tlb" 4)
echo "$out" | cut -c1-300
if grep -q '^FAIL: type library laid out for 4-byte pointers: .*vtable offset' <<<"$out"; then
  grep -q 'system kind' <<<"$out" && { echo "FAIL: the library was not written as SYS_WIN32"; exit 1; }
  echo "PASS: a 64-bit writer's SYS_WIN32 library has 8-byte-based offsets, and the check reports them"
  exit 0
fi
echo "FAIL: the 64-bit writer now lays out a SYS_WIN32 library for 4-byte pointers (the kept 32-bit result may be no longer needed)"
exit 1
