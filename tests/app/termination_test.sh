#!/usr/bin/env bash
# The real till under Xvfb, ended by SIGTERM and by SIGINT: each time the
# close-down runs (kq.cfg written, "Switched off." in the day's log, the
# station server's socket and the till's temporary files gone) and the
# program exits 0. Then a start refused for a damaged kq.cfg: it says why
# and exits 1, leaving the file as it was.
#
#   termination_test.sh KASSIO_PROGRAM
set -euo pipefail
program=$1
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }

for signal in TERM INT; do
    data=$(mktemp -d)
    scratch=$(mktemp -d)
    trap 'rm -rf "$data" "$scratch"' EXIT
    # The sound library makes a folder of its own in TMPDIR when there is no
    # runtime folder; given one, it keeps to it like Qt does.
    mkdir -m 0700 "$scratch/runtime-test"
    XDG_RUNTIME_DIR=$scratch/runtime-test TMPDIR=$scratch xvfb-run -a -s "-screen 0 1024x768x24" "$program" --data-dir "$data" --no-splash --no-log-on \
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
    left=$(find "$scratch" -mindepth 1 -not -name '.X*' -not -name 'xvfb-run.*' -not -path '*/xvfb-run.*/*' \
        -not -name 'runtime-*' -not -path '*/runtime-*/*' | head -3)
    [ -z "$left" ] || { echo "SIG$signal: temporary files left behind: $left"; exit 1; }
    echo "SIG$signal: closed down"
    rm -rf "$data" "$scratch"
done

# A start refused for a damaged kq.cfg says why on standard error and, once
# its box is closed, exits 1: a service manager or script must not take it
# for a till that ran and closed.
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
head -c 4000 /dev/zero > "$data/kq.cfg"
cp "$data/kq.cfg" "$data/kq.cfg.before"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    "$0" --data-dir "$1" --no-splash --no-log-on --no-tips 2>"$1/stderr" &
    till=$!
    for _ in $(seq 100); do grep -q "kq.cfg" "$1/stderr" 2>/dev/null && break; sleep 0.1; done
    sleep 0.5
    xdotool key Return
    wait "$till"' "$program" "$data" || status=$?
grep -q "kq.cfg" "$data/stderr" || { echo "refused start: nothing said on stderr"; exit 1; }
[ "$status" -eq 1 ] || { echo "refused start: the till exited with $status"; cat "$data/stderr"; exit 1; }
cmp -s "$data/kq.cfg" "$data/kq.cfg.before" || { echo "refused start: kq.cfg changed"; exit 1; }
echo "refused start: said why, exit 1, kq.cfg as it was"
