# Shared steps of the end-to-end tests of the monitor's cycle: a private test bed, the
# router simulator in it, linkwatch on the PC side, and waits that fail loudly.
# Expects LINKWATCH, ROUTER_SIM and BED in the environment (set by ctest).
set -euo pipefail

[[ $(id -u) -eq 0 ]] || { echo "needs root for network namespaces: skipped"; exit 77; }

NAME=${NAME:-w$$}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/linkwatch-test.XXXXXX")
PIDS=()

cleanup() {
    local status=$?
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    "$BED" down "$NAME" >/dev/null 2>&1 || true
    if [[ $status -ne 0 && $status -ne 77 ]]; then
        for f in "$WORK"/*.log; do echo "---- $f"; tail -n 60 "$f"; done
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT

bed_up() { "$BED" up "$NAME"; }

# start_sim ARGS...: the simulator at 192.168.2.1 in the router namespace, commands through
# $WORK/sim.in, log in $WORK/sim.log.
start_sim() {
    mkfifo "$WORK/sim.in"
    "$BED" exec "$NAME" rt "$ROUTER_SIM" --address 192.168.2.1 --ssid wireless --channel 6 \
        --wep on --name Wavecastor --wan ip --password admin --status PASS "$@" \
        <"$WORK/sim.in" >"$WORK/sim.log" 2>&1 &
    PIDS+=($!)
    exec 9>"$WORK/sim.in"
    wait_for sim.log '^# ' 10 "simulator start"
}

sim() { echo "$*" >&9; }

start_linkwatch() {
    "$BED" exec "$NAME" pc "$LINKWATCH" >"$WORK/watch.log" 2>&1 &
    PIDS+=($!)
}

# Seconds between two monotonic times.
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# wait_for FILE REGEX SECONDS WHAT [COUNT]: until the COUNT-th line matching REGEX appears.
wait_for() {
    local file=$WORK/$1 regex=$2 limit=$3 what=$4 count=${5:-1} start
    start=$(date +%s.%N)
    while :; do
        if [[ -f $file ]] && (($(grep -cE -- "$regex" "$file" || true) >= count)); then
            return 0
        fi
        if awk -v a="$(date +%s.%N)" -v b="$start" -v l="$limit" 'BEGIN { exit !(a - b > l) }'; then
            echo "FAIL: no $what within $limit s (waiting for /$regex/ x$count in $1)"
            exit 1
        fi
        sleep 0.1
    done
}

# wait_after FILE REGEX AFTER SECONDS WHAT: until a line matching REGEX stamped after AFTER.
wait_after() {
    local file=$WORK/$1 regex=$2 after=$3 limit=$4 what=$5 start
    start=$(date +%s.%N)
    until [[ -n $(time_after "$1" "$regex" "$after") ]]; do
        if awk -v a="$(date +%s.%N)" -v b="$start" -v l="$limit" 'BEGIN { exit !(a - b > l) }'; then
            echo "FAIL: no $what within $limit s (waiting for /$regex/ after $after in $1)"
            exit 1
        fi
        sleep 0.1
    done
}

# The time of the first line matching REGEX stamped after AFTER.
time_after() {
    grep -E -- "$2" "$WORK/$1" 2>/dev/null | awk -v t="$3" '$1 > t { print $1; exit }'
}

# The monotonic time of the COUNT-th (default: last) line matching REGEX in FILE.
time_of() {
    local file=$WORK/$1 regex=$2 count=${3:-}
    if [[ -n $count ]]; then
        grep -E -- "$regex" "$file" | sed -n "${count}p" | awk '{print $1}'
    else
        grep -E -- "$regex" "$file" | tail -n 1 | awk '{print $1}'
    fi
}

# expect_between VALUE LOW HIGH WHAT
expect_between() {
    if awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v < lo || v > hi) }'; then
        echo "FAIL: $4 was $1 s, expected between $2 and $3 s"
        exit 1
    fi
    echo "ok: $4 = $1 s"
}

fail() { echo "FAIL: $*"; exit 1; }

CONNECTED_TIP='tray 1(28|75) " Router : Connected '
LOST_TIP='tray 175 " Router : Not connected \\n ISP : Not connected \\n Network name : "'
