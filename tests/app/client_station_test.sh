#!/usr/bin/env bash
# Two client stations (the real till, `kassio --station`) selling through a
# real main station (kassio-server) under Xvfb, clerks' keys sent with
# xdotool; then one of them selling while the main station is away, killed
# with SIGKILL in the middle, started again still offline, and left to send
# its kept sales once the main station is back. Every sale a till finished
# must be in the main station's ActivityLog exactly once, under its
# station's name, and the stock must have gone down by as many units.
#
#   client_station_test.sh BIN_DIR
set -euo pipefail
bin=$1
for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    pkill -KILL -f -- "--station unix:$work/" 2>/dev/null || true
    if [ -n "${KEEP_WORK:-}" ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
main=$work/main

start_server() {
    "$bin/kassio-server" --data-dir "$main" >>"$work/server.log" 2>&1 &
    server_pid=$!
    for _ in $(seq 100); do [ -S "$main/rpc4.sock" ] && return; sleep 0.1; done
    echo "the main station did not start"; cat "$work/server.log"; exit 1
}
stop_server() {
    kill -TERM "$server_pid"; wait "$server_pid" || true; server_pid=
}
stock_of_item_1() {
    "$bin/kassio-admin" --data-dir "$main" list items 2>/dev/null | awk '$1 == 1 { print; exit }'
}
sales_of() {  # the sales the main station's ActivityLogs hold for a station
    find "$main" -name '*.txt' -path '*/[0-9]*' -exec cat {} + | grep -c "Station: $1" || true
}

# One run of a client till: log on, then SALES sales of two units of item 1
# paid in cash, each finished by closing the summary box; KILL_AFTER (if
# given) sales later the till is killed with SIGKILL instead of closed.
run_client() {
    local name=$1 sales=$2 kill_after=${3:-}
    cat >"$work/drive.sh" <<DRIVE
#!/usr/bin/env bash
# Each key waits for the window it is meant for, so a slow machine
# changes the timing, not the outcome.
await() { timeout 30 xdotool search --sync --onlyvisible --name "\$1" >/dev/null; }
gone() {
    for _ in \$(seq 300); do
        xdotool search --onlyvisible --name "\$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
"$bin/kassio" --station "unix:$main/rpc4.sock" --data-dir "$work/$name" --station-name $name \
    --no-splash --no-tips >>"$work/$name.log" 2>&1 &
till=\$!
await "USER LOGON"; sleep 0.3
xdotool key Return; gone "USER LOGON"             # clerk 1, no password
for n in \$(seq $sales); do
    xdotool type 2*1; xdotool key Return
    await "Age alert"; sleep 0.2; xdotool key Return; gone "Age alert"
    xdotool key F5; await "^Cash\$"; sleep 0.3   # cash
    xdotool type 5000; xdotool key Return; gone "^Cash\$"
    await "Transaction committed"; sleep 0.2
    xdotool key Return; gone "Transaction committed"
    echo "\$n" >"$work/$name.done"
    if [ "\$n" = "$kill_after" ]; then kill -KILL \$till; exit 0; fi
done
sleep 4                                          # time to send what waits
kill -TERM \$till; wait \$till
DRIVE
    chmod +x "$work/drive.sh"
    xvfb-run -a -s "-screen 0 1024x768x24" "$work/drive.sh"
}

start_server
before=$(stock_of_item_1)
run_client TILL2 2
run_client TILL3 1
[ "$(sales_of TILL2)" -eq 2 ] || { echo "TILL2: $(sales_of TILL2) sales in the journal, not 2"; exit 1; }
[ "$(sales_of TILL3)" -eq 1 ] || { echo "TILL3: $(sales_of TILL3) sales in the journal, not 1"; exit 1; }
echo "online: TILL2 2 sales, TILL3 1 sale posted"

# Offline: the main station goes away; TILL2 sells, is killed after its
# second sale, starts again without the main station and sells once more.
stop_server
run_client TILL2 3 2
[ "$(cat "$work/TILL2.done")" = 2 ] || { echo "the offline till did not finish its sales"; exit 1; }
kept=$(find "$work/TILL2/queue" -maxdepth 1 -name '*.queue' | wc -l)
[ "$kept" -eq 2 ] || { echo "$kept sales kept at TILL2 after the kill, not 2"; exit 1; }
run_client TILL2 1 1
echo "offline: 3 sales kept at TILL2"
start_server
run_client TILL2 0
left=$(find "$work/TILL2/queue" -maxdepth 1 -name '*.queue' | wc -l)
[ "$left" -eq 0 ] || { echo "$left kept sales not sent"; cat "$work/TILL2.log"; exit 1; }
stop_server
[ "$(sales_of TILL2)" -eq 5 ] || { echo "TILL2: $(sales_of TILL2) sales in the journal, not 5"; exit 1; }
after=$(stock_of_item_1)
# Six sales of two units each, from both stations, online and kept.
[ "$(echo "$after" | cut -f3)" -eq $(( $(echo "$before" | cut -f3) - 12 )) ] ||
    { echo "stock of item 1 went from: $before"; echo "to: $after"; exit 1; }
"$bin/kassio-admin" --data-dir "$main" check >/dev/null
echo "back online: the 3 kept sales posted once each; the shop's files check"
