# Shared steps of the fault tests, on top of the watch tests' own: the linkwatch process
# under watch, the router's side as a bridge (so the router keeps its address and its group
# membership when the cable to the PC goes), and namespaces beyond the bed's three.
NAME=${NAME:-f$$}
. "$(dirname "$0")/../watch/lib.sh"

EXTRA_NS=()
cleanup_extra() {
    local status=$? ns
    set +e
    for ns in "${EXTRA_NS[@]}"; do ip netns del "$ns" 2>/dev/null; done
    (exit "$status")
    cleanup
}
trap cleanup_extra EXIT

pc() { ip -n "$NAME-pc" "$@"; }
rt() { ip -n "$NAME-rt" "$@"; }

# The router's address on br0, its eth0 a port of it: deleting the PC's cable leaves the
# router's address and the simulator's membership in place, as on a real router's LAN side.
rt_bridge() {
    rt link add br0 type bridge mcast_snooping 0
    rt link set eth0 master br0
    rt addr del 192.168.2.1/24 dev eth0
    rt addr add 192.168.2.1/24 dev br0
    rt link set br0 up
}

# A new cable from the PC's eth1 to a new port of the router's bridge, with the PC's address.
PORTS=0
pc_cable() {
    PORTS=$((PORTS + 1))
    pc link add eth1 type veth peer name port$PORTS netns "$NAME-rt"
    rt link set port$PORTS master br0
    rt link set port$PORTS up
    pc addr add 192.168.2.10/24 dev eth1
    pc link set eth1 up
}

# start_linkwatch and remember its process (ip netns exec replaces itself with it).
WATCH_PID=
start_watch() {
    "$BED" exec "$NAME" pc "$@" "$LINKWATCH" >"$WORK/watch.log" 2>&1 &
    PIDS+=($!)
    WATCH_PID=$!
    sleep 0.3
    [[ $(cat "/proc/$WATCH_PID/comm" 2>/dev/null) == linkwatch ]] || fail "linkwatch did not start"
}

now() { awk '{print $1}' /proc/uptime; }

# utime + stime of linkwatch in seconds.
cpu_seconds() {
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$WATCH_PID/stat"
}

# Still running (not ended, not a zombie) and nothing but its own operation lines printed:
# no sanitizer report, abort message or exception text.
expect_running() {
    local state
    state=$(awk '{print $3}' "/proc/$WATCH_PID/stat" 2>/dev/null || true)
    [[ -n $state && $state != Z && $state != X ]] || fail "linkwatch ended"
    local bad
    bad=$(grep -vE '^[0-9]+\.[0-9]{6} (tray-add|tray|push-main-window|link-picture|push-settings|pppoe-alert) ' \
        "$WORK/watch.log" | head -n 3 || true)
    [[ -z $bad ]] || fail "linkwatch printed: $bad"
}

measured() { echo "measured: $1 = $2"; }

# no_spin WHAT: linkwatch, left alone for 20 s, must wait rather than spin: little CPU time,
# still running. Sets CPU_USED to the seconds it took.
no_spin() {
    local start
    sleep 1
    start=$(cpu_seconds)
    sleep 20
    CPU_USED=$(awk -v a="$start" -v b="$(cpu_seconds)" 'BEGIN { printf "%.2f", b - a }')
    expect_running
    expect_between "$CPU_USED" 0 0.5 "CPU time over 20 s $1"
}
