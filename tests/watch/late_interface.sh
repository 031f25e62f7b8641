#!/usr/bin/env bash
# The link to the router is down at start; it comes up 5 s later and the router is found
# after the next re-enumeration: at worst the rest of a cycle, the re-enumerating cycle, the
# first address's cycle and the discovery reply (about 14.5 s).
. "$(dirname "$0")/lib.sh"
bed_up
start_sim
"$BED" exec "$NAME" pc ip link set eth1 down
start_linkwatch
sleep 5
grep -qE "$CONNECTED_TIP" "$WORK/watch.log" && fail "found the router through a link that is down"
"$BED" exec "$NAME" pc ip link set eth1 up
up=$(awk '{print $1}' /proc/uptime)
wait_for watch.log "$CONNECTED_TIP" 20 "discovery through the new interface"
found=$(time_of watch.log "$CONNECTED_TIP" 1)
expect_between "$(elapsed "$up" "$found")" 0 14.6 "interface up to discovery"
grep -qE 'push-main-window .* local="192\.168\.2\.10"' "$WORK/watch.log" || fail "never opened the new address"
echo passed
