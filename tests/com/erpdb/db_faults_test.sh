#!/usr/bin/env bash
# Stops the PostgreSQL server under a running script of database calls and
# starts it again (db_faults.vbs checks the calls). Runs behind
# scripts/erpdb run BUILD, which also names the cluster: BUILD/pg.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$here/../../..
build=$1
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"; "$top/scripts/pg-cluster" start "$build/pg" >/dev/null 2>&1' EXIT
export VEMO_FAULT_DIR="Z:${work//\//\\}"
"$top/scripts/run-vbs" "$here/db_faults.vbs" >"$work/out" 2>&1 &
script=$!
wait_for() {  # a marker file, up to 60 s
    for _ in $(seq 600); do [[ -f $work/$1 ]] && return 0; kill -0 $script 2>/dev/null || return 1; sleep 0.1; done
    return 1
}
wait_for up || { echo "the calls never succeeded"; cat "$work/out"; exit 1; }
"$top/scripts/pg-cluster" stop "$build/pg" >/dev/null
wait_for down || { echo "the calls never saw the server stopped"; cat "$work/out"; exit 1; }
"$top/scripts/pg-cluster" start "$build/pg" >/dev/null || { echo "the server did not start again"; exit 1; }
wait $script
rc=$?
cat "$work/out"
exit $rc
