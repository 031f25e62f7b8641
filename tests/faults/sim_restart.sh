#!/usr/bin/env bash
# The simulator killed right after it received a poll's first copy and started again after
# a gap. A poll is missed when the new one is not up by the poll's time; the loss rule wants
# two misses in a row, so gaps of 0 and 8 s (at most the next poll missed) show nothing,
# and 13 s (the next two polls missed) shows the loss at the second one's check, 15 s after
# the last answer, and then the restarted simulator is found again by discovery.
. "$(dirname "$0")/common.sh"
bed_up
start_sim
SIM_PID=${PIDS[-1]} SIM_LOG=sim.log
start_watch
wait_for watch.log 'tray 128 ' 20 "first answered poll"
poll_rx=' rx 192\.168\.2\.10:[0-9]+ 8 0102a8c0012b0000$'
poll_tx=' tx 192\.168\.2\.10:[0-9]+ [0-9]+ 0a02a8c00235'

# restart GAP LOG: kill at the first copy of the next poll, start a new one GAP s later
# logging to LOG. Sets POLL (the killed poll's time), ANSWERED (whether it was answered
# before the kill) and MISSED (how many polls after it found no simulator).
restart() {
    local gap=$1 last up k
    # The first copy of a poll after the last one seen (its copies come 0.1 s apart).
    last=$(time_of "$SIM_LOG" "$poll_rx")
    last=$(awk -v t="${last:-0}" 'BEGIN { printf "%.6f", t + 1 }')
    wait_after "$SIM_LOG" "$poll_rx" "$last" 10 "the next poll"
    kill -KILL "$SIM_PID"
    wait "$SIM_PID" 2>/dev/null || true
    POLL=$(time_after "$SIM_LOG" "$poll_rx" "$last")
    ANSWERED=$( [[ -n $(time_after "$SIM_LOG" "$poll_tx" "$POLL") ]] && echo 1 || echo 0)
    sleep "$gap"
    "$BED" exec "$NAME" rt "$ROUTER_SIM" --address 192.168.2.1 --ssid wireless --channel 6 \
        --wep on --name Wavecastor --wan ip --password admin --status PASS \
        <"$WORK/sim.in" >"$WORK/$2" 2>&1 &
    SIM_PID=$! SIM_LOG=$2
    PIDS+=($!)
    wait_for "$SIM_LOG" '^# ' 10 "simulator restart"
    up=$(now)
    MISSED=0
    for k in 1 2 3; do
        awk -v p="$POLL" -v k="$k" -v u="$up" 'BEGIN { exit !(p + 6 * k + 0.25 < u) }' && MISSED=$k
    done
    GAP=$(elapsed "$POLL" "$up")
    echo "restart after $gap s: up $GAP s after the poll, that poll answered: $ANSWERED, polls missed after it: $MISSED"
}

# No loss: the restarted simulator answers a later poll, whose check passes.
expect_no_loss() {
    local answer after
    # A later poll's answer: the restarted one may also have answered the killed poll's copies.
    after=$(awk -v t="$POLL" 'BEGIN { printf "%.6f", t + 1 }')
    wait_after "$SIM_LOG" "$poll_tx" "$after" 15 "an answer from the restarted simulator"
    answer=$(time_after "$SIM_LOG" "$poll_tx" "$after")
    sleep 3.5
    grep -E "$LOST_TIP" "$WORK/watch.log" | awk -v t="$POLL" '$1 > t' | grep -q . &&
        fail "loss shown after a restart with $MISSED missed poll(s)"
    # The tray line may be stamped before the simulator's own log line of its answer.
    grep -E "tray 128 " "$WORK/watch.log" | awk -v t="$answer" '$1 > t - 0.1' | grep -q . ||
        fail "the restarted simulator's answer did not reach the tray"
}

restart 0 sim2.log
[[ $ANSWERED$MISSED == 10 || $ANSWERED$MISSED == 00 ]] || fail "a gap of 0 s missed $MISSED polls"
expect_no_loss
quick=$GAP

restart 8 sim3.log
[[ $MISSED -eq 1 ]] || fail "a gap of 8 s should miss one poll, missed $MISSED"
expect_no_loss

restart 13 sim4.log
[[ $ANSWERED -eq 1 && $MISSED -eq 2 ]] || fail "a gap of 13 s should miss two polls after an answered one"
wait_after watch.log "$LOST_TIP" "$POLL" 10 "loss after two missed polls"
lost=$(time_after watch.log "$LOST_TIP" "$POLL")
expect_between "$(elapsed "$POLL" "$lost")" 13 17.5 "last answered poll to loss"
wait_after watch.log "$CONNECTED_TIP" "$lost" 15 "rediscovery of the restarted simulator"
found=$(time_after watch.log "$CONNECTED_TIP" "$lost")
expect_between "$(elapsed "$lost" "$found")" 0 8 "loss to rediscovery"
wait_after watch.log 'tray 128 ' "$found" 10 "an answered poll after rediscovery"
expect_running
measured "simulator down at a 0 s restart (s)" "$quick"
measured "loss to connected after a 13 s restart (s)" "$(elapsed "$lost" "$found")"
echo passed
