#!/usr/bin/env bash
# No router at first; the simulator starts 10 s later and is found within one pass over
# the addresses (two cycles and a re-enumeration: under 11 s).
. "$(dirname "$0")/lib.sh"
bed_up
start_linkwatch
sleep 10
grep -qE "$CONNECTED_TIP" "$WORK/watch.log" && fail "found a router that was not there"
start_sim
started=$(awk '{print $1}' /proc/uptime)
wait_for watch.log "$CONNECTED_TIP" 15 "discovery of the late router"
found=$(time_of watch.log "$CONNECTED_TIP" 1)
expect_between "$(elapsed "$started" "$found")" 0 11.2 "simulator start to discovery"
echo passed
