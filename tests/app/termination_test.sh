#!/usr/bin/env bash
# The real till under Xvfb, ended by SIGTERM and by SIGINT: each time the
# close-down runs (kq.cfg written, "Switched off." in the day's log, the
# station server's socket gone) and the program exits 0.
#
#   termination_test.sh KASSIO_PROGRAM
set -euo pipefail
program=$1
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }

for signal in TERM INT; do
    data=$(mktemp -d)
    trap 'rm -rf "$data"' EXIT
    xvfb-run -a -s "-screen 0 1024x768x24" "$program" --data-dir "$data" --no-splash --no-log-on \
        --no-tips &
    runner=$!
    for _ in $(seq 100); do [ -S "$data/rpc4.sock" ] && break; sleep 0.1; done
    [ -S "$data/rpc4.sock" ] || { echo "the till did not start"; exit 1; }
    sleep 0.5
    pkill -"$signal" -f -- "^$program --data-dir $data" || { echo "no till to signal"; exit 1; }
    status=0
    wait "$runner" || status=$?
    [ "$status" -eq 0 ] || { echo "SIG$signal: the till exited with $status"; exit 1; }
    log=$(find "$data" -name '*.txt' -path '*/[0-9]*' | head -1)
    grep -q "Switched off." "$log" || { echo "SIG$signal: no \"Switched off.\" in $log"; exit 1; }
    [ ! -e "$data/rpc4.sock" ] || { echo "SIG$signal: rpc4.sock left behind"; exit 1; }
    echo "SIG$signal: closed down"
    rm -rf "$data"
done
