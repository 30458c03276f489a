# Sourced by the deployment cases (needs here, build and wine set).
# new_prefix [DIR]: ends the previous prefix's Wine server and boots a fresh
# prefix with the import type libraries registered: in a new temporary
# folder, which goes with the next new_prefix and at exit, or in DIR, which
# the caller keeps.
prefix= prefix_is_temporary=
new_prefix() {
  if [ -n "$prefix" ]; then
    wineserver -k 2>/dev/null
    [ -z "$prefix_is_temporary" ] || rm -rf "$prefix"
  fi
  if [ $# -gt 0 ]; then prefix=$1 prefix_is_temporary=; else prefix=$(mktemp -d) prefix_is_temporary=1; fi
  . "$here/scripts/wine-env" "$prefix" "$build"
  "$wine" wineboot -i >/dev/null 2>&1; wineserver -w
  for t in ado21 collection pyx; do "$wine" "$build/regtlb.exe" "Z:$build/gen/$t.tlb"; done
}
end_prefix() {
  [ -z "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null
  [ -z "$prefix_is_temporary" ] || rm -rf "$prefix"
}
