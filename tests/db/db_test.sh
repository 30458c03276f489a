#!/usr/bin/env bash
# Checks the test ERP database and its helpers: the private cluster's life
# cycle, the seeded rows as the library's own statements see them, the
# numbering and period procedures, numbering under concurrent callers, and
# the SQLite file holding the same rows.
#
# Usage: tests/db/db_test.sh     (exit 0 only if every check passed)
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
CLUSTER=$ROOT/scripts/pg-cluster
SQLITEDB=$ROOT/scripts/sqlite-db

. "$ROOT/tests/support/check.sh"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vemo-dbtest.XXXXXX") || exit 1
# Searchable, so the cluster can live in DIR itself; the fallback for an
# unreachable DIR has a case of its own below.
chmod 755 "$WORK"
PG=$WORK/pg
cleanup() {
    "$CLUSTER" destroy "$PG" >/dev/null 2>&1
    [[ -n ${PRIV:-} ]] && "$CLUSTER" destroy "$PRIV/pg" >/dev/null 2>&1
    rm -rf "$WORK"
}
trap cleanup EXIT

export PGCLIENTENCODING=UTF8

# One statement on erp, unaligned, NULL shown as NULL, rows joined by ';'.
q() {
    psql -X -At -P null=NULL -v ON_ERROR_STOP=1 -c "$1" 2>&1 | paste -sd ';' -
}

# A statement that must fail with a server error.
q_fails() {
    local name=$1 sql=$2 out
    if out=$(psql -X -At -v ON_ERROR_STOP=1 -c "$sql" 2>&1); then
        check_eq "$name" "an error" "success: $out"
    else
        check_eq "$name" "ERROR" "$(grep -o '^ERROR' <<<"$out" | head -n 1)"
    fi
}

# --- cluster start and its environment -------------------------------------

if ! "$CLUSTER" start "$PG" >"$WORK/start.log" 2>&1; then
    cat "$WORK/start.log"
    echo "cluster did not start"
    echo "0 passed, 1 failed"
    exit 1
fi
eval "$("$CLUSTER" env "$PG")"

check_eq "env: PGPORT is the recorded port" "$(cat "$PG/port")" "$PGPORT"
check_eq "env: PGHOST is the socket directory" "$(cat "$PG/home")" "$PGHOST"
check_eq "env: ODBC string" \
    "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$PGPORT;Database=erp;Uid=postgres;Pwd=;" \
    "$VEMO_PG_ODBC"
check_eq "server listens on loopback only" "127.0.0.1" "$(q 'SHOW listen_addresses')"
check_eq "TCP on 127.0.0.1 reaches erp" "erp" \
    "$(psql -X -At -h 127.0.0.1 -c 'SELECT current_database()' 2>&1)"
check_eq "database is UTF-8" "UTF8" "$(q 'SHOW server_encoding')"

# --- the library's statements on the seeded rows ---------------------------

check_eq "switch AB" "3" "$(q "SELECT FOperate FROM ICSwitch WHERE FShortCut='AB'")"
check_eq "switch AB with FID" "3|12" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='AB'")"
check_eq "switch with Null FOperate" "NULL|20" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='NULLOP'")"
check_eq "switch with Null FID" "5|NULL" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='NULLID'")"
check_eq "shared key: rows in seeded order" "1|31;2|32" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='DUP'")"
check_eq "switch value -1" "-1|40" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='NEG'")"
check_eq "switch value 0" "0|0" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='ZERO'")"
check_eq "key holding a quote, doubled" "9|90" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='O''K'")"
check_eq "non-ASCII key" "7|70" "$(q "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='入库'")"
check_eq "keys are case-sensitive" "" "$(q "SELECT FOperate FROM ICSwitch WHERE FShortCut='ab'")"
check_eq "key without row" "" "$(q "SELECT FOperate FROM ICSwitch WHERE FShortCut='XY'")"

check_eq "unit 1 coefficient" "2" "$(q 'select FCoefficient from vwICUnitCoe Where FItemID=1')"
check_eq "unit 2 coefficient" "0.5" "$(q 'select FCoefficient from vwICUnitCoe Where FItemID=2')"
check_eq "unit 3 Null coefficient" "3|UNSET|NULL" "$(q 'select * from vwICUnitCoe Where FItemID=3')"
check_eq "unit without row" "" "$(q 'select * from vwICUnitCoe Where FItemID=9')"

inv() { q "select FQty from ICInventory Where FBrNo='$1' AND FStockID=$2 AND FItemID=$3"; }
check_eq "stock item 10" "5" "$(inv 01 1 10)"
check_eq "stock item 11" "7" "$(inv 01 1 11)"
check_eq "stock item 12: two rows, 4 first" "4;6" "$(inv 01 1 12)"
check_eq "stock item 13 Null qty" "NULL" "$(inv 01 1 13)"
check_eq "stock: branch counts" "9" "$(inv 02 1 10)"
check_eq "stock: stock place counts" "8" "$(inv 01 2 10)"
check_eq "stock without row" "" "$(inv 01 1 2)"
check_eq "inventory statement, all columns" "01|1|10|5" \
    "$(q "select * from ICInventory Where FBrNo='01' AND FStockID=1 AND FItemID=10")"

# --- numbering procedures --------------------------------------------------

check_eq "CALL answers one row named after the output" "finterid;1001" \
    "$(psql -X -A -F '|' -P footer=off -c "CALL geticmaxnum('ICStockBill', NULL)" 2>&1 | paste -sd ';' -)"
check_eq "max num counts up" "1002" "$(q "CALL geticmaxnum('ICStockBill', NULL)")"
check_eq "max num: table name without regard to case" "1003" "$(q "CALL geticmaxnum('icstockbill', NULL)")"
check_eq "max num: new table starts at 1" "1" "$(q "CALL geticmaxnum('ICNewTable', NULL)")"
check_eq "max num: counters are per table" "2;1" \
    "$(q "CALL geticmaxnum('ICNewTable', NULL); CALL geticmaxnum('ICOtherTable', NULL)")"
check_eq "max num: NULLTABLE answers Null" "NULL" "$(q "CALL geticmaxnum('NULLTABLE', NULL)")"
check_eq "max num: NULLTABLE stays Null" "NULL" "$(q "CALL geticmaxnum('NULLTABLE', NULL)")"
q_fails "max num: empty table name raises" "CALL geticmaxnum('', NULL)"
q_fails "max num: Null table name raises" "CALL geticmaxnum(NULL, NULL)"

declare -A PREFIX=([0]=IN [1]=OUT [2]=ADJ [3]=TRF [4]=CHK [5]=AGT [8]=PUR
                   [9]=PRT [10]=WOUT [11]=WBK [12]=调拨)
for t in 0 1 2 3 4 5 8 9 10 11 12; do
    check_eq "bill no type $t" "${PREFIX[$t]}000001" "$(q "CALL geticbillno($t, NULL)")"
done
check_eq "bill no counts up per type" "IN000002;IN000003;OUT000002" \
    "$(q 'CALL geticbillno(0, NULL); CALL geticbillno(0, NULL); CALL geticbillno(1, NULL)')"
check_eq "bill no: type 6 arrives as 6" "B6-000001" "$(q 'CALL geticbillno(6, NULL)')"
check_eq "bill no: type 7 arrives as 7" "B7-000001;B7-000002" \
    "$(q 'CALL geticbillno(7, NULL); CALL geticbillno(7, NULL)')"
check_eq "bill no: type 99 answers Null" "NULL" "$(q 'CALL geticbillno(99, NULL)')"
q_fails "bill no: negative type raises" "CALL geticbillno(-1, NULL)"
q_fails "bill no: Null type raises" "CALL geticbillno(NULL, NULL)"
check_eq "bill no: number wider than the padding is not cut" "PUR1234567" \
    "$(q "UPDATE ICBillNo SET FLastNo = 1234566 WHERE FBillType = 8" >/dev/null; q "CALL geticbillno(8, NULL)")"

# --- accounting periods ----------------------------------------------------

period() { q "CALL sp_periodfromdate('$1', NULL)"; }
check_eq "period 2026-12-08 10:00" "12" "$(period '2026-12-08 10:00')"
check_eq "period 2025-03-15" "3" "$(period '2025-03-15')"
check_eq "period on the first instant of a month" "1" "$(period '2026-01-01 00:00')"
check_eq "period on the last millisecond of 2026" "12" "$(period '2026-12-31 23:59:59.999')"
check_eq "period on the first instant of 2027" "1" "$(period '2027-01-01 00:00')"
check_eq "period just before the noon split" "1" "$(period '2027-01-15 11:59:59.999')"
check_eq "period at the noon split" "2" "$(period '2027-01-15 12:00')"
check_eq "period in the middle of 2028" "7" "$(period '2028-07-04 09:00')"
check_eq "period on the last day of 2029" "12" "$(period '2029-12-31 23:00')"
check_eq "period: Null period" "NULL" "$(period '2090-01-10')"
check_eq "period: 32767" "32767" "$(period '2090-02-10')"
check_eq "period: 32768" "32768" "$(period '2090-03-10')"
check_eq "period: 40000" "40000" "$(period '2090-04-10')"
check_eq "period: -32768" "-32768" "$(period '2090-05-10')"
check_eq "period: -32769" "-32769" "$(period '2090-06-10')"
check_eq "period: output named period" "period;12" \
    "$(psql -X -A -P footer=off -c "CALL sp_periodfromdate('2026-12-08', NULL)" 2>&1 | paste -sd ';' -)"
q_fails "period: date in no period raises" "CALL sp_periodfromdate('2030-06-01', NULL)"
q_fails "period: Null date raises" "CALL sp_periodfromdate(NULL, NULL)"

# --- numbering under concurrent callers ------------------------------------

# Two sessions start together and each calls N times back to back; every
# number must be handed out exactly once, with no gap.
N=200
concurrent() {
    local name=$1 sql=$2 want=$3 a b
    rm -f "$WORK/go"
    for side in a b; do
        (
            while [[ ! -e $WORK/go ]]; do sleep 0.01; done
            for ((i = 0; i < N; i++)); do echo "$sql"; done |
                psql -X -At -v ON_ERROR_STOP=1 >"$WORK/conc.$side" 2>&1
        ) &
        eval "pid_$side=\$!"
    done
    touch "$WORK/go"
    wait "$pid_a"; a=$?
    wait "$pid_b"; b=$?
    check_eq "$name: both sessions ran" "0 0" "$a $b"
    check_eq "$name: no number twice" "" "$(sort "$WORK/conc.a" "$WORK/conc.b" | uniq -d | head -n 3 | paste -sd ' ' -)"
    check_eq "$name: exactly the numbers expected" "$want" \
        "$(sort "$WORK/conc.a" "$WORK/conc.b" | md5sum)"
}
"$CLUSTER" reseed "$PG" >/dev/null
concurrent "max num" "CALL geticmaxnum('ConcurrencyTable', NULL);" \
    "$(seq 1 $((2 * N)) | sort | md5sum)"
concurrent "bill no" "CALL geticbillno(10, NULL);" \
    "$(seq -f 'WOUT%06g' 1 $((2 * N)) | sort | md5sum)"

# --- life cycle: stop, restart, reseed -------------------------------------

"$CLUSTER" stop "$PG" >/dev/null
check_eq "stop succeeds" "0" "$?"
"$CLUSTER" status "$PG" >/dev/null
check_eq "status after stop" "3" "$?"
"$CLUSTER" stop "$PG" >/dev/null
check_eq "stop when stopped is no error" "0" "$?"
"$CLUSTER" start "$PG" >/dev/null
check_eq "restart succeeds" "0" "$?"
"$CLUSTER" status "$PG" >/dev/null
check_eq "status when running" "0" "$?"
eval "$("$CLUSTER" env "$PG")"
check_eq "restart keeps the data" "$((2 * N + 1))" "$(q "CALL geticmaxnum('ConcurrencyTable', NULL)")"
"$CLUSTER" start "$PG" >/dev/null
check_eq "second start is a no-op" "$((2 * N + 2))" "$(q "CALL geticmaxnum('ConcurrencyTable', NULL)")"
"$CLUSTER" reseed "$PG" >/dev/null
check_eq "reseed restores the seed" "1;1001" \
    "$(q "CALL geticmaxnum('ConcurrencyTable', NULL); CALL geticmaxnum('ICStockBill', NULL)")"
"$CLUSTER" status "$WORK/nothing-here" >/dev/null
check_eq "status without cluster" "4" "$?"
"$CLUSTER" env "$WORK/nothing-here" >/dev/null 2>&1
check_eq "env without cluster fails" "1" "$?"

# --- a DIR the server's user cannot reach ----------------------------------

if (( EUID == 0 )); then
    PRIV=$WORK/private
    mkdir -m 700 "$PRIV"
    if "$CLUSTER" start "$PRIV/pg" >/dev/null 2>&1; then
        home=$(cat "$PRIV/pg/home")
        check_eq "unreachable DIR: home moved to /tmp" "/tmp/vemo-pg-" "${home:0:13}"
        check_eq "unreachable DIR: erp answers" "IN000001" \
            "$("$CLUSTER" psql "$PRIV/pg" -At -c 'CALL geticbillno(0, NULL)' 2>&1)"
        "$CLUSTER" destroy "$PRIV/pg" >/dev/null
        check_eq "destroy removes the moved home" "gone" "$([[ -e $home ]] && echo there || echo gone)"
    else
        check_eq "unreachable DIR: start" "started" "failed"
    fi
else
    echo "skipped: unreachable DIR (needs root, where the server runs as postgres)"
fi

# --- the SQLite file -------------------------------------------------------

if command -v sqlite3 >/dev/null; then
    DBF=$WORK/sqlite/erp.db
    check_eq "sqlite: ODBC string" "Driver=SQLite3;Database=$DBF;" "$("$SQLITEDB" "$DBF")"
    check_eq "sqlite: env form" "export VEMO_SQLITE_ODBC='Driver=SQLite3;Database=$DBF;'" \
        "$("$SQLITEDB" --env "$DBF")"
    s() { sqlite3 -bail -nullvalue NULL "$DBF" "$1" 2>&1 | paste -sd ';' -; }
    check_eq "sqlite: rebuilding replaces the file" "9" "$(s 'SELECT count(*) FROM ICSwitch')"
    check_eq "sqlite: switch AB with FID" "3|12" "$(s "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='AB'")"
    check_eq "sqlite: unit 3 Null coefficient" "3|UNSET|NULL" "$(s 'select * from vwICUnitCoe Where FItemID=3')"
    check_eq "sqlite: stock item 12, 4 first" "4.0;6.0" \
        "$(s "select FQty from ICInventory Where FBrNo='01' AND FStockID=1 AND FItemID=12")"
    "$SQLITEDB" "$WORK/bad;name.db" >/dev/null 2>&1
    check_eq "sqlite: path with a semicolon refused" "1" "$?"

    # The two databases must hold the same rows in the same order.
    sqlite_rows=$(s "
        SELECT FShortCut, FOperate, FID FROM ICSwitch;
        SELECT FItemID, FName, CASE WHEN FCoefficient IS NULL THEN 'NULL'
                                    ELSE printf('%g', FCoefficient) END FROM vwICUnitCoe;
        SELECT FBrNo, FStockID, FItemID, CASE WHEN FQty IS NULL THEN 'NULL'
                                              ELSE printf('%g', FQty) END FROM ICInventory;")
    pg_rows=$(psql -X -At -P null=NULL -c "SELECT FShortCut, FOperate, FID FROM ICSwitch" \
                -c "SELECT FItemID, FName, FCoefficient FROM vwICUnitCoe" \
                -c "SELECT FBrNo, FStockID, FItemID, FQty FROM ICInventory" 2>&1 | paste -sd ';' -)
    check_eq "sqlite and PostgreSQL hold the same rows" "$pg_rows" "$sqlite_rows"
else
    failed=$((failed + 1))
    echo "FAIL sqlite3 not installed"
fi

"$CLUSTER" stop "$PG" >/dev/null

check_summary
