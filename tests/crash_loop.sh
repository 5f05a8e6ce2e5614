#!/bin/sh
# The crash loop of the write path: kassio-server on a fresh shop, ten
# client stations posting sales, credit sales and refunds, and a SIGKILL of
# the server at a random moment, CYCLES times. After every kill
# `kassio-admin check` must succeed on the folder as the kill left it. At
# the end the server starts once more, the postings left unanswered are
# sent again with their request ids, the server stops cleanly, and the
# files are checked against every answered posting: each in the journal
# exactly once, no transaction number twice, stock and customer balances
# as the answered postings make them, kq.cfg whole, no posting.journal.
#
#   tests/crash_loop.sh BIN_DIR [CYCLES]     (BIN_DIR: build/bin; 200 cycles by default)
set -eu

bin=$1
cycles=${2:-200}
clients=10
work=$(mktemp -d "${TMPDIR:-/tmp}/kassio-crash-XXXXXX")
data=$work/shop
state=$work/state
server=
cleanup() {
    if [ -n "$server" ]; then kill -9 "$server" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$state"

# A number from 0 to $1 - 1.
random() {
    od -An -N4 -tu4 /dev/urandom | awk -v n="$1" '{ print $1 % n }'
}

start_server() {
    rm -f "$data/rpc4.sock"
    "$bin/kassio-server" --data-dir "$data" 2>>"$work/server.log" &
    server=$!
    tries=0
    until [ -S "$data/rpc4.sock" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 1500 ] || ! kill -0 "$server" 2>/dev/null; then
            echo "crash loop: the server did not start" >&2
            cat "$work/server.log" >&2
            exit 1
        fi
        sleep 0.02
    done
}

check() {
    if ! "$bin/kassio-admin" --data-dir "$data" check >"$work/check.out" 2>&1; then
        echo "crash loop: kassio-admin check failed after cycle $1" >&2
        cat "$work/check.out" >&2
        exit 1
    fi
}

"$bin/kassio_crash_client" setup "$data"
pending_seen=0
cycle=1
while [ $cycle -le "$cycles" ]; do
    start_server
    "$bin/kassio_crash_client" post "unix:$data/rpc4.sock" "$state" $clients &
    stations=$!
    sleep "0.$(printf '%03d' "$(random 800)")"
    kill -9 "$server"
    wait "$server" 2>/dev/null || true
    server=
    if ! wait "$stations"; then
        echo "crash loop: a station was refused a posting in cycle $cycle" >&2
        exit 1
    fi
    check $cycle
    if grep -q "posting journal:" "$work/check.out"; then pending_seen=$((pending_seen + 1)); fi
    cycle=$((cycle + 1))
done

start_server
"$bin/kassio_crash_client" drain "unix:$data/rpc4.sock" "$state" $clients
kill -TERM "$server"
wait "$server"
server=
check final
if grep -q "posting journal:" "$work/check.out"; then
    echo "crash loop: a posting journal is left after a clean stop" >&2
    exit 1
fi
recovered=$(grep -r "Recovered" "$data"/*/*/*.txt 2>/dev/null | wc -l)
echo "crash loop: $cycles cycles, $pending_seen left a posting journal to recover, $recovered starts logged a recovery"
"$bin/kassio_crash_client" verify "$data" "$state" $clients
