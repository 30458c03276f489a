#!/usr/bin/env bash
# Two Windows processes allocate numbers from one counter at the same time;
# every number must be handed out exactly once. Runs behind scripts/erpdb run.
# Usage: concurrent_numbers.sh [SCRIPT.vbs [LINES_PER_ROUND]]  (numbers.vbs, 1)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
run_vbs=$here/../../../scripts/run-vbs
script=${1:-$here/numbers.vbs}
per=${2:-1}
count=${VEMO_COUNT:-300}
export VEMO_COUNT=$count
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$run_vbs" "$script" >"$work/a" 2>&1 &
a=$!
"$run_vbs" "$script" >"$work/b" 2>&1 &
b=$!
wait $a; ra=$?
wait $b; rb=$?
(( ra == 0 && rb == 0 )) || { echo "a process failed"; tail -5 "$work/a" "$work/b"; exit 1; }
cat "$work/a" "$work/b" | tr -d '\r' | grep '^n=' | sort >"$work/all"
total=$(wc -l <"$work/all")
unique=$(sort -u "$work/all" | wc -l)
echo "numbers: $total, distinct: $unique"
(( total == 2 * count * per )) || { echo "expected $((2 * count * per)) numbers"; exit 1; }
(( unique == total )) || { echo "duplicates:"; uniq -d "$work/all" | head; exit 1; }
