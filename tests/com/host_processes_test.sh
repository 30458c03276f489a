#!/usr/bin/env bash
# The settings store across processes, in the shared test prefix: a second
# process reads what the first saved; two processes saving into one document
# at once keep all their settings, also when both make the same new section
# between one's load and its save; a process killed in a loop of saves never
# leaves a broken document. Then, in a copy of the prefix's registry without
# the data-access component, ExecuteSQL raises and the settings work on; with
# the user profile component unregistered too, the settings members stay neutral
# (and without the shared-property component its readers raise).
# Usage: host_processes_test.sh BUILD_DIR   (WINEPREFIX etc. from the environment)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$1
work=$(mktemp -d)
clone=""
cleanup() {
  [ -n "$clone" ] && WINEPREFIX=$clone wineserver -k 2>/dev/null
  rm -rf "$work" ${clone:+"$clone"}
}
trap cleanup EXIT
. "$(dirname "$0")/../support/check.sh"
vbs() { "$root/scripts/run-vbs" "$here/host/$1" > "$work/out" 2>&1; local rc=$?; cat "$work/out"; return $rc; }
worker() { "$root/scripts/wine" cscript //nologo "Z:$here/host/$1" "${@:2}"; }
stamp=$(date +%s%N)

export HOSTTEST_DOC="procs-$stamp.INI"
check "seeding process" "vbs seed.vbs"
check "another process reads the saved settings" "vbs check_seed.vbs"

# Two processes at once, 200 different settings each.
export HOSTTEST_DOC="load-$stamp.INI"
worker saver.vbs "$HOSTTEST_DOC" a 200 > "$work/a" 2>&1 &
pa=$!
worker saver.vbs "$HOSTTEST_DOC" b 200 > "$work/b" 2>&1 &
pb=$!
wait $pa; wait $pb
check "first saver finished" "grep -q 'saved 200' '$work/a'"
check "second saver finished" "grep -q 'saved 200' '$work/b'"
check "all 400 settings present" "vbs check_load.vbs"
grep -q 'saved 200' "$work/a" && grep -q 'saved 200' "$work/b" || { echo "savers' output:"; cat "$work/a" "$work/b"; }
echo "concurrent savers done after $SECONDS s"

# Both make the same new section between one's Load and its Save: the holder
# loads and adds its "Fresh", runs a saver that saves b1..b3 into a "Fresh" of
# its own, and then saves.
export HOSTTEST_DOC="fresh-$stamp.INI"
worker holder.vbs "$HOSTTEST_DOC" > "$work/h" 2>&1
check "the holder saved after the other process" "grep -q '^saved' '$work/h'"
check "a new section made by two processes keeps the settings of both" "vbs check_fresh.vbs"

# Kill a saving process at varying moments after its first save (which may
# take seconds on a slow machine); the document must load each time.
export HOSTTEST_DOC="kill-$stamp.INI"
check "seeding the killed document" "vbs seed.vbs"
doc_state() { cat "$WINEPREFIX"/drive_c/users/*/"QelBase Profiles"/*"$stamp"* 2>/dev/null | cksum; }
for delay in 0.3 0.9 1.6; do
  before=$(doc_state)
  worker looper.vbs "$HOSTTEST_DOC" > /dev/null 2>&1 &
  pl=$!
  for _ in $(seq 600); do [ "$(doc_state)" != "$before" ] && break; sleep 0.1; done
  sleep "$delay"
  kill -9 $pl 2>/dev/null
  wait $pl 2>/dev/null
  check "document intact after a kill at ${delay}s" "vbs check_seed.vbs"
  n=$(tr -d '\r' < "$work/out" | sed -n 's/^counter //p')
  check "the process was killed while saving (counter ${n:-none})" "[ '${n:-0}' -gt 0 ]"
done

# A registry copy without the user profile component (the files stay shared).
clone=$(mktemp -d)
cp "$WINEPREFIX"/*.reg "$WINEPREFIX/.update-timestamp" "$clone/"
ln -s "$WINEPREFIX/drive_c" "$clone/drive_c"
mkdir "$clone/dosdevices"
ln -s ../drive_c "$clone/dosdevices/c:"
ln -s / "$clone/dosdevices/z:"
(
  export WINEPREFIX=$clone
  "$root/scripts/wine-prefix" "$clone" "$build" > /dev/null
  "$root/scripts/wine" reg delete 'HKCR\Tally.GetData' /f > /dev/null 2>&1
  check "SQL pass-through raises, settings work, without the data-access component" "vbs check_no_getdata.vbs"
  "$root/scripts/wine" reg delete 'HKCR\QelBase.UserProfile' /f > /dev/null 2>&1
  check "the profile component is unregistered in the copy" "! \"$root/scripts/wine\" reg query 'HKCR\QelBase.UserProfile' > /dev/null 2>&1"
  check "settings members neutral without the profile component" "vbs check_unregistered.vbs"
  "$root/scripts/wine" reg delete 'HKCR\Trellis.ShareProps' /f > /dev/null 2>&1
  HOSTTEST_NO_SHAREPROPS=1 "$root/scripts/wine" "$build/tests/com/login_properties_tests.exe" --gtest_filter='*Unregistered*' > "$work/gt" 2>&1
  check "login properties raise the creation error without their component" \
    "grep -q 'PASSED  \] 1 test' '$work/gt' && ! grep -q SKIPPED '$work/gt'"
  echo "$passed $failed" > "$work/counts"
)
read passed failed < "$work/counts"
check_summary
