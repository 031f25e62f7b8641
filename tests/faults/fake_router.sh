#!/usr/bin/env bash
# A second router on the link, at 192.168.2.2, once the monitor is connected to 192.168.2.1.
# A reply is taken on its addressee, kind and opcode alone, whoever sends it: status replies
# from the fake to polls meant for the real router are taken (no loss while the real one is
# silent), but only a discovery reply sets the router's address, so it changes in the main
# window only after a loss, when the fake answers the new discovery.
. "$(dirname "$0")/common.sh"
poll_for_real=' rx 192\.168\.2\.10:[0-9]+ 8 0102a8c0012b0000$'
bed_up
rt addr add 192.168.2.2/24 dev eth0
start_sim
start_watch
wait_for watch.log 'tray 128 ' 20 "first answered poll"
grep -qE 'push-main-window .* address="192\.168\.2\.1" local="192\.168\.2\.10"' "$WORK/watch.log" ||
    fail "not connected to 192.168.2.1"

mkfifo "$WORK/fake.in"
"$BED" exec "$NAME" rt "$ROUTER_SIM" --address 192.168.2.2 --ssid impostor --name Impostor \
    <"$WORK/fake.in" >"$WORK/fake.log" 2>&1 &
PIDS+=($!)
exec 8>"$WORK/fake.in"
wait_for fake.log '^# ' 10 "fake router start"

# fake_status: from 192.168.2.2, a PASS status reply addressed to the monitor, at the first
# copy of the next poll meant for the real router. Sets POLL to that poll's time.
fake_status() {
    local last port
    last=$(time_of fake.log "$poll_for_real")
    last=$(awk -v t="${last:-0}" 'BEGIN { printf "%.6f", t + 1 }')
    wait_after fake.log "$poll_for_real" "$last" 10 "a poll at the fake router"
    POLL=$(time_after fake.log "$poll_for_real" "$last")
    port=$(grep -E "$poll_for_real" "$WORK/fake.log" | tail -n 1 | sed -E 's/.* rx 192\.168\.2\.10:([0-9]+) .*/\1/')
    "$BED" exec "$NAME" rt python3 -c '
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("192.168.2.2", 0))
s.sendto(bytes.fromhex("0a02a8c00235040050415353"), ("192.168.2.10", int(sys.argv[1])))' "$port"
}

# The real router silent; for three polls only the fake answers.
sim silent all
sleep 0.5
silent_from=$(now)
grep -qE ' tx ' "$WORK/fake.log" && fail "the fake router answered a request meant for another"
for poll in 1 2 3; do
    fake_status
    wait_after watch.log 'tray 128 ' "$POLL" 2 "the fake's status reply taken for poll $poll"
done
sleep 3.5 # the third poll's check
grep -E ' tx ' "$WORK/sim.log" | awk -v t="$silent_from" '$1 > t' | grep -q . && fail "the real router answered"
grep -qE "$LOST_TIP" "$WORK/watch.log" && fail "loss shown while the fake answered the polls"
grep -E 'push-main-window' "$WORK/watch.log" | awk -v t="$silent_from" '$1 > t' | grep -q . &&
    fail "the main window changed on a fake's status reply"
expect_running

# No more fake status replies: loss, then the new discovery finds the fake router-sim.
wait_for watch.log "$LOST_TIP" 20 "loss once nothing answers the polls"
lost=$(time_of watch.log "$LOST_TIP" 1)
expect_between "$(elapsed "$POLL" "$lost")" 13 17.5 "last fake answer to loss"
wait_after watch.log 'push-main-window .* address="192\.168\.2\.2"' "$lost" 15 "discovery of the fake router"
moved=$(time_after watch.log 'push-main-window .* address="192\.168\.2\.2"' "$lost")
wait_after watch.log 'tray 128 .*Network name : impostor' "$moved" 10 "a poll answered by the fake router"
# Over the whole run the address changed once from empty, and once more only after the loss.
changes=$(awk '
    / tray 175 " Router : Not connected / { since_loss = 1 }
    / push-main-window / {
        match($0, /address="[^"]*"/); a = substr($0, RSTART + 9, RLENGTH - 10)
        if (a != prev && a != "") {
            if (prev != "" && !since_loss) { print "changed without a loss: " $0; exit 1 }
            n++; since_loss = 0; prev = a
        }
    }
    END { print n }' "$WORK/watch.log") || fail "$changes"
[[ $changes -eq 2 ]] || fail "router address set $changes times, expected 2"
expect_running
measured "polls carried by the fake's status replies alone" 3
measured "loss to connected to the fake router (s)" "$(elapsed "$lost" "$moved")"
echo passed
