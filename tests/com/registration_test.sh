#!/usr/bin/env bash
# Registration round trip in a prefix of its own: regsvr32 writes the classes,
# ProgIDs, interfaces and type library; creation works by ProgID and CLSID;
# regsvr32 /u leaves no key of the library behind.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
prefix=$(mktemp -d)
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
. "$here/scripts/wine-env" "$prefix" "$build"
"$here/scripts/wine" wineboot -i >/dev/null 2>&1; wineserver -w
. "$here/tests/support/check.sh"
keys() { "$here/scripts/wine" reg query "$1" >/dev/null 2>&1; }
clsids="A8CB2541 A8CB2547 A8CB2545 A8CB2543"
ifaces="{CC289CE1-275D-43BA-A3B7-23E2C0D703D2} {A8CB2540-E499-11D5-9FA9-00E04C54B3B6} {B7AD0309-C0CB-4506-A74F-93D37EEFD9C7} {A8CB2546-E499-11D5-9FA9-00E04C54B3B6} {A8CB2544-E499-11D5-9FA9-00E04C54B3B6} {A8CB2542-E499-11D5-9FA9-00E04C54B3B6}"
for t in ado21 collection pyx; do "$here/scripts/wine" "$build/regtlb.exe" "Z:$build/gen/$t.tlb"; done
"$here/scripts/wine" regsvr32 /s "Z:$build/VemoFunction.dll"; check "regsvr32 succeeds" "[ $? -eq 0 ]"
for c in $clsids; do
  check "CLSID $c registered" "keys 'HKCR\\CLSID\\{$c-E499-11D5-9FA9-00E04C54B3B6}\\InprocServer32'"
  check "apartment model for $c" "\"$here/scripts/wine\" reg query 'HKCR\\CLSID\\{$c-E499-11D5-9FA9-00E04C54B3B6}\\InprocServer32' /v ThreadingModel 2>/dev/null | grep -q Apartment"
done
for p in IniFile VemoFuns Btns Btn; do check "ProgID VemoFunction.$p" "keys 'HKCR\\VemoFunction.$p\\CLSID'"; done
for i in $ifaces; do check "interface $i" "keys 'HKCR\\Interface\\$i\\TypeLib'"; done
check "type library 1.2" "keys 'HKCR\\TypeLib\\{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}\\1.2'"
cat > "$prefix/create.vbs" <<'VBS'
Dim a, b
Set a = CreateObject("VemoFunction.VemoFuns")
Set b = CreateObject("VemoFunction.IniFile")
WScript.Echo "created " & b.IniFileName & " " & b
VBS
check "creation by ProgID" "\"$here/scripts/wine\" cscript //nologo 'Z:$prefix/create.vbs' | tr -d '\r' | grep -qx 'created DAZSystem.INI DAZSystem.INI'"
"$here/scripts/wine" regsvr32 /s /u "Z:$build/VemoFunction.dll"; check "regsvr32 /u succeeds" "[ $? -eq 0 ]"
for c in $clsids; do check "CLSID $c removed" "! keys 'HKCR\\CLSID\\{$c-E499-11D5-9FA9-00E04C54B3B6}'"; done
for p in IniFile VemoFuns Btns Btn; do check "ProgID VemoFunction.$p removed" "! keys 'HKCR\\VemoFunction.$p'"; done
for i in $ifaces; do check "interface $i removed" "! keys 'HKCR\\Interface\\$i'"; done
check "type library removed" "! keys 'HKCR\\TypeLib\\{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}'"
check "import libraries kept" "keys 'HKCR\\TypeLib\\{00000201-0000-0010-8000-00AA006D2EA4}'"
check_summary
