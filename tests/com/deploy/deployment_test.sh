#!/usr/bin/env bash
# Deployment without administrator rights, each way in a Wine prefix of its
# own (the import type libraries registered, as a Windows machine carries
# them):
#   user     regsvr32 /n /i:user writes every key below HKCU\Software\Classes
#            and nothing for the machine; machine and user registrations
#            coexist; removing one leaves the other; the removal leaves no key.
#   regfree  nothing registered: a host program whose manifest depends on the
#            assembly (tests/com/deploy/regfree_host.cpp), and VBScript in the
#            test script host through an activation context made from the
#            shipped VemoFunction.manifest (four_classes.vbs).
# Usage: deployment_test.sh BUILD_DIR [user|regfree]...
set -uo pipefail
here=$(cd "$(dirname "$0")/../../.." && pwd)
build=$1; shift
cases=${*:-user regfree}
wine=$here/scripts/wine
. "$here/tests/support/check.sh"
keys() { "$wine" reg query "$1" >/dev/null 2>&1; }

. "$here/tests/com/deploy/fresh_prefix.sh"
trap end_prefix EXIT

lib='{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}'
# Every key of a registration, below a classes root.
library_keys=$(
  for c in 2541 2547 2545 2543; do echo "CLSID\\{A8CB$c-E499-11D5-9FA9-00E04C54B3B6}\\InprocServer32"; done
  for p in IniFile VemoFuns Btns Btn; do echo "VemoFunction.$p\\CLSID"; done
  for i in CC289CE1-275D-43BA-A3B7-23E2C0D703D2 A8CB2540-E499-11D5-9FA9-00E04C54B3B6 B7AD0309-C0CB-4506-A74F-93D37EEFD9C7 \
           A8CB2546-E499-11D5-9FA9-00E04C54B3B6 A8CB2544-E499-11D5-9FA9-00E04C54B3B6 A8CB2542-E499-11D5-9FA9-00E04C54B3B6; do
    echo "Interface\\{$i}\\TypeLib"
  done
  echo "TypeLib\\$lib\\1.2")
# has_all ROOT / has_none ROOT: every key of the library is there / none is,
# nor the key of the class, ProgID, interface or library above it.
has_all() { local k; while read -r k; do keys "$1\\$k" || { echo "missing: $1\\$k"; return 1; }; done <<< "$library_keys"; }
top_key() { case $1 in CLSID\\*|Interface\\*|TypeLib\\*) cut -d'\' -f1-2 <<< "$1" ;; *) cut -d'\' -f1 <<< "$1" ;; esac; }
has_none() { local k; while read -r k; do keys "$1\\$(top_key "$k")" && { echo "left: $1\\$(top_key "$k")"; return 1; }; done <<< "$library_keys"; return 0; }
user=HKCU\\Software\\Classes
machine=HKLM\\Software\\Classes

# The machine's registry as saved, without the times Wine stamps on it and
# the display driver's date, which Wine writes as programs start.
machine_registry() {
  wineserver -k; wineserver -w
  sed -E -e '/^#time=/d' -e '/^"DriverDateData"=/d' -e 's/^(\[.*\]) [0-9]+$/\1/' "$prefix/system.reg"
}
# The same less Wine's 32-bit view of the library's interface keys: a 64-bit
# RegisterTypeLib of Wine (which its RegisterTypeLibForUser is) also writes
# them below HKLM\Software\Classes\Wow6432Node\Interface, through a root
# that overriding HKEY_CLASSES_ROOT does not reach. Its removal takes them away
# again; Windows writes the user's type library below the user's key only.
without_wine_wow64_copies() {
  awk '/^\[/ { skip = index($0, "Wow6432Node\\\\Interface\\\\{") && $0 ~ /CC289CE1-|A8CB254[0246]-E499/ } !skip'
}

# Creation by ProgID from a script: "created" and the IniFile's name.
creates() {
  printf 'Set a = CreateObject("VemoFunction.VemoFuns")\r\nSet b = CreateObject("VemoFunction.IniFile")\r\nWScript.Echo "created " & b.IniFileName\r\n' > "$prefix/create.vbs"
  "$wine" cscript //nologo "Z:$prefix/create.vbs" 2>/dev/null | tr -d '\r' | grep -qx 'created DAZSystem.INI'
}
dll="Z:$build/VemoFunction.dll"

for c in $cases; do
  case $c in
  user)
    new_prefix
    before=$(machine_registry)
    "$wine" regsvr32 /s /n /i:user "$dll"; check "regsvr32 /n /i:user succeeds" "[ $? -eq 0 ]"
    check "every key below the user's classes" "has_all '$user'"
    check "the user's type library names the DLL" "\"$wine\" reg query '$user\\TypeLib\\$lib\\1.2\\0\\$(cat "$build/wine-arch")' 2>/dev/null | grep -qi VemoFunction.dll"
    check "apartment model for the user" "\"$wine\" reg query '$user\\CLSID\\{A8CB2541-E499-11D5-9FA9-00E04C54B3B6}\\InprocServer32' /v ThreadingModel 2>/dev/null | grep -q Apartment"
    after=$(machine_registry)
    check "nothing written for the machine but Wine's 32-bit view of the interfaces" \
      "[ \"\$(without_wine_wow64_copies <<< \"\$after\")\" = \"\$(without_wine_wow64_copies <<< \"\$before\")\" ]"
    "$wine" regsvr32 /s /u /n /i:user "$dll"
    check "the user's removal leaves the machine's registry as it was" "[ \"\$(machine_registry)\" = \"\$before\" ]"
    "$wine" regsvr32 /s /n /i:user "$dll"
    # Wine's COM reads HKLM\Software\Classes only, never the user's classes
    # (Windows merges both into HKEY_CLASSES_ROOT): a per-user registration
    # is not found under Wine. When this check fails, Wine has gained it:
    # turn it into "creates".
    check "Wine does not find classes registered for the user (known gap)" "! creates"
    "$wine" regsvr32 /s /n /i:machine "$dll"; check "another command line is refused" "[ $? -ne 0 ]"
    "$wine" regsvr32 /s "$dll"; check "regsvr32 for the machine beside the user's" "[ $? -eq 0 ] && has_all '$machine' && has_all '$user'"
    "$wine" regsvr32 /s /u /n /i:user "$dll"; check "regsvr32 /u /n /i:user succeeds" "[ $? -eq 0 ]"
    check "the user's removal leaves no key" "has_none '$user'"
    check "the machine's registration stays whole" "has_all '$machine' && creates"
    "$wine" regsvr32 /s /n /i:user "$dll"
    "$wine" regsvr32 /s /u "$dll"; check "regsvr32 /u for the machine succeeds" "[ $? -eq 0 ]"
    check "the machine's removal leaves no key of it" "has_none '$machine'"
    check "the user's registration stays whole" "has_all '$user'"
    "$wine" regsvr32 /s /u /n /i:user "$dll"
    check "both removed: no key anywhere" "has_none '$user' && has_none '$machine'"
    ;;
  regfree)
    new_prefix
    app=$prefix/drive_c/app
    mkdir -p "$app"
    # The DLL alone first: its embedded manifest is what the dependency finds.
    cp "$build/VemoFunction.dll" "$build/tests/com/regfree_host.exe" "$app/"
    host_passes() {
      local out; out=$("$wine" "$app/regfree_host.exe" "$@" 2>&1 | tr -d '\r')
      grep -qE '^[0-9]+ passed, 0 failed$' <<< "$out" || { echo "$out"; return 1; }
    }
    check "the host program by the manifest embedded in the DLL" "host_passes"
    cp "$build/VemoFunction.manifest" "$app/"
    out=$(VEMO_VBS_HOST="$build/tests/com/vbs_host.exe" VEMO_VBS_ACTCTX='C:\app\VemoFunction.manifest' \
          "$here/scripts/run-vbs" "$here/tests/com/deploy/four_classes.vbs" 2>&1)
    rc=$?
    check "VBScript through an activation context" "[ $rc -eq 0 ]"
    [ "$rc" -eq 0 ] || echo "$out"
    check "nothing was registered" "has_none '$user' && has_none '$machine'"
    check "calls from another apartment through the manifest's proxy/stub entries" "host_passes proxies"
    # Wine's proxy loads the type library by the manifest's bare file name
    # through LoadTypeLib, which registers a library named without a full
    # path, for the machine. When this check fails, Wine no longer does.
    check "Wine registers the type library when it makes a proxy (known gap)" "keys '$machine\\TypeLib\\$lib'"
    ;;
  *) echo "unknown case $c"; failed=$((failed+1)) ;;
  esac
done
check_summary
