#!/usr/bin/env bash
# No interface but lo at start: linkwatch keeps cycling on the no-network fallback
# (127.0.0.1) without spinning, and finds the router once a cable appears, within the bound
# of a late interface (rest of a cycle, the re-enumerating cycle, the new address's cycle).
. "$(dirname "$0")/common.sh"
bed_up
rt_bridge
start_sim
pc link del eth0
pc link del eth1
[[ -z $(pc -4 -o addr show scope global) ]] || fail "the PC still has an address"
start_watch
no_spin "without interfaces"
opens=$(grep -cE 'push-main-window .* local="127\.0\.0\.1"' "$WORK/watch.log" || true)
((opens >= 3)) || fail "only $opens cycles on the fallback address in 21 s"
grep -E 'push-main-window' "$WORK/watch.log" | grep -vqE 'local="127\.0\.0\.1"' &&
    fail "opened an address that does not exist"
grep -qE "$CONNECTED_TIP" "$WORK/watch.log" && fail "connected without an interface"
pc_cable
up=$(now)
wait_for watch.log "$CONNECTED_TIP" 25 "discovery through the new cable"
found=$(time_of watch.log "$CONNECTED_TIP" 1)
expect_between "$(elapsed "$up" "$found")" 0 15 "cable to connected"
grep -qE 'push-main-window .* address="192\.168\.2\.1" local="192\.168\.2\.10"' "$WORK/watch.log" ||
    fail "not connected through 192.168.2.10"
wait_for watch.log 'tray 128 ' 10 "an answered poll"
expect_running
measured "CPU time over 20 s without interfaces (s)" "$CPU_USED"
measured "cable to connected (s)" "$(elapsed "$up" "$found")"
echo passed
