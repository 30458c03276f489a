#!/usr/bin/env bash
# Starts silent_server.exe (a listener that never answers) and runs
# silent_server.vbs against it, with its port in VEMO_SILENT_PORT.
# Usage: silent_server_test.sh SILENT_SERVER.EXE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$here/../../..
work=$(mktemp -d)
listener=
trap '[[ -n $listener ]] && kill "$listener" 2>/dev/null; rm -rf "$work"' EXIT
"$top/scripts/wine" "$1" 150 >"$work/port" 2>/dev/null &
listener=$!
for _ in $(seq 300); do
    [[ -s $work/port ]] && break
    kill -0 "$listener" 2>/dev/null || { echo "the listener did not start"; exit 1; }
    sleep 0.1
done
VEMO_SILENT_PORT=$(head -n 1 "$work/port" | tr -d '\r')
[[ $VEMO_SILENT_PORT =~ ^[0-9]+$ ]] || { echo "no port from the listener"; exit 1; }
export VEMO_SILENT_PORT
"$top/scripts/run-vbs" "$here/silent_server.vbs"
