#!/usr/bin/env bash
# A router that answers every other poll is never declared lost: its misses never come two
# in a row. The simulator is told after each poll whether to answer the next one.
. "$(dirname "$0")/lib.sh"
bed_up
start_sim
start_linkwatch
wait_for watch.log 'tray 128 ' 20 "first PASS"
polls=0 seen=0 answering=1
while ((polls < 7)); do
    now=$(grep -cE ' rx [0-9.:]+ 8 0102a8c0012b0000$' "$WORK/sim.log" || true)
    if ((now >= seen + 3)); then
        seen=$now polls=$((polls + 1))
        sleep 1 # the rest of this poll's copies
        if ((answering)); then sim silent status; else sim answer status; fi
        answering=$((1 - answering))
    fi
    grep -qE "$LOST_TIP" "$WORK/watch.log" && fail "declared lost after $polls polls"
    sleep 0.1
done
answered=$(grep -cE ' tx [0-9.:]+ [0-9]+ 0a02a8c00235' "$WORK/sim.log")
((answered >= 3)) || fail "only $answered status replies were sent"
sleep 4 # the last poll's check
grep -qE "$LOST_TIP" "$WORK/watch.log" && fail "declared lost"
echo "passed: $polls polls, $answered replies, no loss"
