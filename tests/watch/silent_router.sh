#!/usr/bin/env bash
# Router found, then silent: the first check raises missCount with nothing visible, the
# second resets the tray and restarts discovery, about 15 s after the last answered poll.
# After the rediscovery one silent poll is enough for the next loss.
. "$(dirname "$0")/lib.sh"
bed_up
start_sim
start_linkwatch
wait_for watch.log 'tray 128 " Router : Connected \\n ISP : Connected \\n Network name : wireless"' 20 "first PASS"
sim silent all
sleep 0.2
last_answer=$(time_of sim.log ' tx [0-9.:]+ [0-9]+ 0a02a8c00235')
wait_for watch.log "$LOST_TIP" 25 "loss"
lost=$(time_of watch.log "$LOST_TIP" 1)
expect_between "$(elapsed "$last_answer" "$lost")" 13 17.5 "last answered poll to loss"
# Nothing visible between the answer and the loss: no picture cleared before it.
grep -E 'link-picture .* cleared' "$WORK/watch.log" | awk -v a="$last_answer" -v l="$lost" '$1 > a && $1 < l - 0.5' |
    grep -q . && fail "the first silent check showed something"
sim silent none
wait_after watch.log "$CONNECTED_TIP" "$lost" 15 "rediscovery"
found=$(time_after watch.log "$CONNECTED_TIP" "$lost")
sim silent status
wait_after watch.log "$LOST_TIP" "$found" 15 "second loss"
second=$(time_after watch.log "$LOST_TIP" "$found")
expect_between "$(elapsed "$found" "$second")" 3 9.5 "rediscovery to the loss at one silent poll"
echo passed
