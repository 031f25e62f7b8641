#!/usr/bin/env bash
# The PC's cable to the router is deleted while connected: the endpoint's interface is gone,
# polls go unanswered and the loss shows about 15 s after the last answer. A new cable with
# the same address brings the router back through discovery: after the loss the worker has
# at most the dead address's cycle, a re-enumerating cycle and the new address's cycle
# (3 x 3.6 s) to go, plus up to one cycle already running when the cable comes.
. "$(dirname "$0")/common.sh"
bed_up
rt_bridge
start_sim
start_watch
wait_for watch.log 'tray 128 ' 20 "first answered poll"
pc link del eth1
gone=$(now)
wait_for watch.log "$LOST_TIP" 25 "loss after the cable was deleted"
lost=$(time_of watch.log "$LOST_TIP" 1)
last_answer=$(time_of sim.log ' tx [0-9.:]+ [0-9]+ 0a02a8c00235')
expect_between "$(elapsed "$last_answer" "$lost")" 13 17.5 "last answered poll to loss"
expect_between "$(elapsed "$gone" "$lost")" 9 17.5 "cable deleted to loss"
sleep 2
expect_running
pc_cable
back=$(now)
wait_after watch.log "$CONNECTED_TIP" "$back" 25 "rediscovery through the new cable"
found=$(time_after watch.log "$CONNECTED_TIP" "$back")
expect_between "$(elapsed "$back" "$found")" 0 15 "new cable to connected"
grep -E 'push-main-window .* address="192\.168\.2\.1" local="192\.168\.2\.10"' "$WORK/watch.log" |
    awk -v t="$back" '$1 >= t' | grep -q . || fail "not connected again through 192.168.2.10"
# Polled again and answered, through the new cable.
wait_after sim.log ' tx 192\.168\.2\.10:[0-9]+ [0-9]+ 0a02a8c00235' "$found" 10 "a status reply after rediscovery"
sleep 4
grep -E "$LOST_TIP" "$WORK/watch.log" | awk -v t="$found" '$1 > t' | grep -q . && fail "lost again after rediscovery"
expect_running
measured "new cable to connected (s)" "$(elapsed "$back" "$found")"
echo passed
