#!/usr/bin/env bash
# linkwatch under a small descriptor limit, six addresses, the router behind the sixth.
# Inherited descriptors are closed first, so the limit counts from 0, 1, 2 alone; below 4
# the loader itself cannot start it. At 4 (one descriptor for sockets) it must stay up,
# not spin and keep cycling; whether it finds the router there, or a router that then
# appears behind the first address, is printed. At 5 it finds the router in five cycles,
# and then holds one socket only: no descriptor is leaked by the closed endpoints.
. "$(dirname "$0")/common.sh"
# A sanitizer's runtime needs descriptors of its own (UndefinedBehaviorSanitizer's type
# check opens a pipe to probe memory, and reports a bad object when it cannot), so at these
# limits it fails before linkwatch does anything.
[[ -z ${SANITIZE:-} ]] || { echo "under ${SANITIZE}: the sanitizer's own descriptors do not fit: skipped"; exit 77; }
bed_up
for i in 1 2 3 4; do pc addr add 10.0.1.$i/32 dev eth0; done
start_sim
limited() {
    start_watch bash -c 'for fd in $(ls /proc/$$/fd); do ((fd > 2)) && eval "exec $fd>&-"; done
        ulimit -n "$0" && exec "$@"' "$1"
}
sockets() { find "/proc/$WATCH_PID/fd" -lname 'socket:*' | wc -l; }

limited 4
no_spin "at 4 descriptors"
opens=$(grep -c 'push-main-window' "$WORK/watch.log" || true)
((opens >= 5)) || fail "stopped cycling at 4 descriptors: $opens opens in 21 s"
found4=no
grep -qE "$CONNECTED_TIP" "$WORK/watch.log" && found4=yes
echo "seen at 4 descriptors: opened $(grep -oE 'local="[^"]*"' "$WORK/watch.log" | uniq | tr '\n' ' ')"
echo "seen at 4 descriptors: $(sockets) socket(s) held, router requests at the simulator: $(grep -cE ' rx ' "$WORK/sim.log" || true)"
# A router appears behind the first address, the one whose socket could be opened.
"$BED" exec "$NAME" dead "$ROUTER_SIM" --address 10.0.0.1 </dev/null >"$WORK/first.log" 2>&1 &
first_sim=$!
PIDS+=($!)
wait_for first.log '^# ' 10 "router behind the first address"
sleep 15
expect_running
(($(grep -c 'push-main-window' "$WORK/watch.log") > opens)) || fail "stopped cycling at 4 descriptors"
late4=no
grep -qE "$CONNECTED_TIP" "$WORK/watch.log" && late4=yes
echo "seen at 4 descriptors: router behind the first address found: $late4, requests at it: $(grep -cE ' rx ' "$WORK/first.log" || true)"
kill "$first_sim"
kill "$WATCH_PID"
wait "$WATCH_PID" 2>/dev/null || true
mv "$WORK/watch.log" "$WORK/watch4.log"

limited 5
wait_for watch.log "$CONNECTED_TIP" 30 "discovery on the sixth address at 5 descriptors"
found=$(time_of watch.log "$CONNECTED_TIP" 1)
first=$(time_of watch.log 'push-main-window .* local="' 1)
expect_between "$(elapsed "$first" "$found")" 17 21 "first open to discovery on the sixth"
wait_for watch.log 'tray 128 ' 10 "an answered poll at 5 descriptors"
expect_running
held=$(sockets)
[[ $held -eq 1 ]] || fail "$held sockets held after discovery, expected the endpoint alone"
measured "router found at 4 descriptors" "$found4"
measured "router appearing behind the first address found at 4 descriptors" "$late4"
measured "CPU time over 20 s at 4 descriptors (s)" "$CPU_USED"
measured "start to connected at 5 descriptors, router on the 6th (s)" "$(elapsed "$first" "$found")"
echo passed
