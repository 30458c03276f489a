#!/usr/bin/env bash
# The registration checker (VemoFunctionCheck.exe) against a healthy
# registration and against each usual fault seeded on its own: each fault
# gives exactly its PROBLEM line, with the command that mends it, and a
# non-zero exit. One prefix serves the faults that re-registering undoes;
# the per-user case has one of its own.
# Usage: checker_test.sh BUILD_DIR [CASE...]
#   CASE: a name of the table below, or "user"; all of them by default.
#   The 64-bit build's cases with the win32 build beside it (its 32-bit DLL
#   and checker), in this build's 64-bit prefix:
#     otherbits     a class's server re-pointed to the 32-bit DLL;
#     32bit-client  the 32-bit checker where only the 64-bit DLL is
#                   registered (needs a machine that runs 32-bit code).
#   A case that cannot run here is named at the end, and the exit is 77
#   (not run) unless a check failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "$1" && pwd); shift
wine=$here/scripts/wine
. "$here/tests/support/check.sh"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

checker=$build/VemoFunctionCheck.exe
dll=$(winpath "$build/VemoFunction.dll")
regsvr32='%SystemRoot%\System32\regsvr32'
win32=$(cd "$build/.." && pwd)/win32
not_run=
cases=${*:-healthy model progid typelib interface elsewhere deleted noserver classkey classversion marshaller typelibfile version imports unregistered usage user}

. "$here/tests/com/deploy/fresh_prefix.sh"
trap end_prefix EXIT
registered() { "$wine" regsvr32 /s "$dll"; }

# run_checker ARGS...: its output in $out (lines without CR), its exit code in $rc.
run_checker() { out=$("$wine" "$checker" "$@" 2>&1 | tr -d '\r'); rc=${PIPESTATUS[0]}; }
problems() { grep '^PROBLEM ' <<< "$out"; }

key='HKCR\CLSID\{A8CB2545-E499-11D5-9FA9-00E04C54B3B6}'
arch=$(cat "$build/wine-arch")
copy_elsewhere() { mkdir -p "$prefix/drive_c/old" && cp "$build/VemoFunction.dll" "$prefix/drive_c/old/"; }
# Another release: the file version's last part (9.0.0.1203, 0x04B3, low
# byte first after the fixed version record's signature) made 1204.
patch_version() {
  local at; at=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$1" | head -n 1 | cut -d: -f1)
  [ -n "$at" ] && printf '\xb4' | dd of="$1" bs=1 seek=$((at + 12)) conv=notrunc status=none
}
mend="mend: $regsvr32 \"$dll\""
old='C:\old\VemoFunction.dll'
# case | seeding (run by eval) | checker options | the one PROBLEM line it must give
table=$(cat <<TABLE
model|"\$wine" reg add '$key\\InprocServer32' /v ThreadingModel /d Both /f||Btns: ThreadingModel is "Both", not Apartment; $mend
progid|"\$wine" reg add 'HKCR\\VemoFunction.Btn\\CLSID' /ve /d '{A8CB2545-E499-11D5-9FA9-00E04C54B3B6}' /f||Btn: ProgID VemoFunction.Btn names {A8CB2545-E499-11D5-9FA9-00E04C54B3B6}, not {A8CB2543-E499-11D5-9FA9-00E04C54B3B6}; $mend
typelib|"\$wine" reg delete 'HKCR\\TypeLib\\{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}' /f||type library {A8CB253F-E499-11D5-9FA9-00E04C54B3B6} 1.2 ($arch) is not registered; $mend
interface|"\$wine" reg delete 'HKCR\\Interface\\{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}' /f||interface _VemoFuns {A8CB2546-E499-11D5-9FA9-00E04C54B3B6} is not registered (calls from another apartment fail); $mend
elsewhere|copy_elsewhere && "\$wine" regsvr32 /s '$old'|/dll $dll|in-process server of IniFile, VemoFuns, Btns, Btn: $old is not the expected $dll; $mend
deleted|copy_elsewhere && "\$wine" regsvr32 /s '$old' && rm "\$prefix/drive_c/old/VemoFunction.dll"||in-process server of IniFile, VemoFuns, Btns, Btn: $old does not exist; mend: reinstall VemoFunction, or $regsvr32 "$dll"
noserver|"\$wine" reg delete '$key\\InprocServer32' /f||Btns: class {A8CB2545-E499-11D5-9FA9-00E04C54B3B6} names no in-process server (InprocServer32); $mend
classkey|"\$wine" reg delete '$key' /f||Btns: class {A8CB2545-E499-11D5-9FA9-00E04C54B3B6} is not registered; $mend
classversion|"\$wine" reg add '$key\\VERSION' /ve /d 1.0 /f||Btns: TypeLib is "{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}" and VERSION "1.0", not {A8CB253F-E499-11D5-9FA9-00E04C54B3B6} and 1.2; $mend
marshaller|"\$wine" reg add 'HKCR\\Interface\\{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}\\ProxyStubClsid32' /ve /d '{00000000-0000-0000-0000-000000000001}' /f||interface _Btns {A8CB2544-E499-11D5-9FA9-00E04C54B3B6}: ProxyStubClsid32 is "{00000000-0000-0000-0000-000000000001}", not the automation marshaller {00020424-0000-0000-C000-000000000046}; $mend
typelibfile|"\$wine" reg add 'HKCR\\TypeLib\\{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}\\1.2\\0\\$arch' /ve /d 'C:\\gone\\VemoFunction.dll' /f||type library {A8CB253F-E499-11D5-9FA9-00E04C54B3B6} 1.2 ($arch) names C:\\gone\\VemoFunction.dll, which does not exist; $mend
version|copy_elsewhere && patch_version "\$prefix/drive_c/old/VemoFunction.dll" && "\$wine" regsvr32 /s '$old'||$old has file version 9.0.0.1204, not 9.0.0.1203; mend: reinstall VemoFunction 9.0.0.1203, or $regsvr32 "$dll"
imports|"\$wine" reg delete 'HKCR\\TypeLib\\{BD29F730-5BDA-11D1-9C2A-127658000000}' /f||type library Pyx 1.0 {BD29F730-5BDA-11D1-9C2A-127658000000}, which VemoFunction's refers to, does not load (0x8002801D): early binding and calls from another apartment fail; mend: install or repair the host program, which registers it
unregistered|"\$wine" regsvr32 /s /u "$dll"||VemoFunction is not registered in HKEY_CLASSES_ROOT, ${arch#win}-bit view; $mend
TABLE
)

for c in $cases; do
  case $c in
  healthy)
    [ -n "$prefix" ] || { new_prefix; registered; }
    run_checker
    check_eq "healthy: every line OK" "" "$(grep -v '^OK ' <<< "$out" | grep -v '^55 checks, 0 problems, 0 not run$')"
    check_eq "healthy: the last line" "55 checks, 0 problems, 0 not run" "$(tail -n 1 <<< "$out")"
    check_eq "healthy: exit code" 0 "$rc"
    run_checker /machine /quiet
    check "healthy, only the machine's keys, quietly: no output, exit 0" "[ -z \"\$out\" ] && [ $rc -eq 0 ]"
    ;;
  usage)
    run_checker /user /machine
    check "a command line it does not take: exit 3 and the usage" "[ $rc -eq 3 ] && grep -q '^usage: VemoFunctionCheck' <<< \"\$out\""
    ;;
  user)
    # A prefix of its own: nothing registered for the machine.
    new_prefix
    "$wine" regsvr32 /s /n /i:user "$dll"
    run_checker /user
    check_eq "user: no problem" "" "$(problems)"
    check "user: the keys and the libraries it refers to reported OK" "[ \$(grep -c '^OK ' <<< \"\$out\") -eq 26 ]"
    check "user: the type library cannot be loaded here, and says why" \
      "grep -qx 'NOT RUN LoadRegTypeLib .*: Wine [0-9.]* reads no per-user classes, so it cannot load a library registered for the user' <<< \"\$out\""
    check "user: live creation reported as not possible here" \
      "grep -qx 'NOT RUN live checks (.*): not possible on this platform: Wine [0-9.]*.s COM reads no per-user classes.*' <<< \"\$out\""
    check_eq "user: the last line" "28 checks, 0 problems, 2 not run" "$(tail -n 1 <<< "$out")"
    check_eq "user: exit code (not all checks ran)" 2 "$rc"
    run_checker
    check_eq "user: the merged view of Wine lacks it, mended for the machine" \
      "PROBLEM VemoFunction is not registered in HKEY_CLASSES_ROOT, $(cut -c4-5 <<< "$(cat "$build/wine-arch")")-bit view; $mend" "$(problems)"
    ;;
  otherbits|32bit-client)
    if [ "$(cat "$build/wine-arch")" != win64 ] || [ ! -f "$win32/VemoFunction.dll" ]; then
      not_run+=" $c (the 64-bit build's, with the win32 build beside it)"; continue
    fi
    [ -n "$prefix" ] || { new_prefix; registered; }
    if [ "$c" = otherbits ]; then
      "$wine" reg add "$key\\InprocServer32" /ve /d "$(winpath "$win32/VemoFunction.dll")" /f >/dev/null
      run_checker
      check_eq "a class's server is the 32-bit DLL, a 64-bit client" \
        "PROBLEM $(winpath "$win32/VemoFunction.dll") is a 32-bit DLL, which 64-bit clients cannot load (it serves 32-bit clients, registered with %SystemRoot%\SysWOW64\regsvr32); $mend" \
        "$(problems)"
      check "the other bitness: that class's live checks not run, non-zero exit" \
        "grep -qx 'NOT RUN Btns: live checks: its in-process server above is not usable' <<< \"\$out\" && [ $rc -eq 1 ]"
      registered
      continue
    fi
    "$here/scripts/probe-32bit" >/dev/null || { not_run+=" $c (this machine runs no 32-bit code)"; continue; }
    # A 32-bit client of 64-bit Windows registers with SysWOW64's regsvr32,
    # and the 32-bit DLL beside its checker is the one to register.
    out=$("$wine" "$win32/VemoFunctionCheck.exe" 2>&1 | tr -d '\r'); rc=${PIPESTATUS[0]}
    check_eq "only the 64-bit DLL registered, a 32-bit client" \
      "PROBLEM VemoFunction is registered only in HKEY_CLASSES_ROOT, 64-bit view ($dll, by the 64-bit regsvr32): 32-bit clients cannot create it; mend: %SystemRoot%\SysWOW64\regsvr32 \"$(winpath "$win32/VemoFunction.dll")\"" \
      "$(problems)"
    check "32-bit client: the rest not run, non-zero exit" "grep -qx 'NOT RUN the other checks: .*' <<< \"\$out\" && [ $rc -eq 1 ]"
    ;;
  *)
    row=$(grep "^$c|" <<< "$table") || { echo "unknown case $c"; failed=$((failed+1)); continue; }
    IFS='|' read -r _ seed options want <<< "$row"
    [ -n "$prefix" ] || { new_prefix; registered; }
    eval "$seed" >/dev/null
    # shellcheck disable=SC2086
    run_checker $options
    check_eq "$c: exactly its PROBLEM line" "PROBLEM $want" "$(problems)"
    check "$c: non-zero exit" "[ $rc -eq 1 ]"
    if [ "$c" = model ]; then
      run_checker /quiet
      check "$c, quietly: no output, exit 1" "[ -z \"\$out\" ] && [ $rc -eq 1 ]"
    fi
    registered  # undoes the fault: the keys are written again
    [ "$c" != imports ] || "$wine" "$build/regtlb.exe" "Z:$build/gen/pyx.tlb"
    ;;
  esac
done
if [ "$failed" -eq 0 ] && [ -n "$not_run" ]; then
  echo "$passed passed, 0 failed; not run:$not_run"
  exit 77
fi
check_summary
