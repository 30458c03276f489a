#!/usr/bin/env bash
# Two releases of the same commit, from two clean clones in folders of
# different names and depths, must be the same bytes: every file of
# dist/VemoFunction-<version>/ (DLLs, symbols, manifests, type libraries,
# installers, docs, SHA256SUMS) and the zip. Each difference is reported
# with its first differing bytes. scripts/release uses no compiler cache, so
# each clone compiles everything itself. Long (four product builds): ctest
# label release-repro, outside the presets' default run.
# Usage: reproducible_test.sh [REPOSITORY]   (default: this checkout's)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
repo=${1:-$top}
. "$top/tests/support/check.sh"
commit=$(git -C "$repo" rev-parse HEAD)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

first=$tmp/a/VemoFunction
second=$tmp/second-clone/of/the/same/commit
for clone in "$first" "$second"; do
  git clone -q --no-hardlinks "$repo" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "== release in $clone"
  t0=$SECONDS
  "$clone/scripts/release" >"$clone.log" 2>&1 || { tail -40 "$clone.log"; echo "FAIL: scripts/release in $clone"; exit 1; }
  grep '^release: ' "$clone.log" | tail -4
  echo "   ($((SECONDS - t0)) s)"
done

listing() { (cd "$1/dist" && find . -type f -printf '%P\n' | LC_ALL=C sort); }
check_eq "both releases hold the same files" "$(listing "$first")" "$(listing "$second")"
while read -r f; do
  a=$first/dist/$f b=$second/dist/$f
  [[ -f $b ]] || continue
  if cmp -s "$a" "$b"; then
    check "$f is the same bytes" true
  else
    echo "FAIL: $f differs ($(stat -c %s "$a") and $(stat -c %s "$b") bytes); first differing bytes (offset, octal):"
    cmp -l "$a" "$b" | head -8 | sed 's/^/    /'
    failed=$((failed + 1))
  fi
done < <(listing "$first")
check_eq "the four installers were built" 4 "$(listing "$first" | grep -c '\.msi$')"
check_summary
