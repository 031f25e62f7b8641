#!/usr/bin/env bash
# Hostile traffic at the monitor's endpoint: 50,000 random datagrams a second for 10 s from
# the router's side (a quarter of them dressed as replies to it) while the simulator keeps
# answering, then 10 s more in which only the simulator sends status replies. The monitor
# must stay up, never declare the router lost, show only its own tray texts, keep its
# memory and keep polling. Expects FLOOD and SANITIZE beside the shared variables.
. "$(dirname "$0")/../watch/lib.sh"

RATE=${FLOOD_RATE:-50000}
SECONDS_OF_FLOOD=${FLOOD_SECONDS:-10}
MAX_LEN=${FLOOD_MAX_LEN:-512}
SEED=${FLOOD_SEED:-$RANDOM$RANDOM}
STATUS_REPLY=' tx [0-9.:]+ [0-9]+ 0a02a8c00235'
# How much the resident set may grow. AddressSanitizer keeps freed blocks aside (its
# quarantine), which alone would grow it by megabytes, so linkwatch runs without it here;
# ThreadSanitizer's bookkeeping of new allocations adds about a megabyte. A leak of a few
# bytes per datagram still shows: each round has hundreds of thousands.
RSS_MARGIN=512
case ${SANITIZE:-} in
*address*) export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=0:thread_local_quarantine_size_kb=0 ;;
*thread*)
    # Each datagram costs it several times as much there: the rate it keeps up with on two
    # shared cores is what shows its threads' races, not 50,000/s it would drop.
    RATE=${FLOOD_RATE:-20000}
    RSS_MARGIN=2048
    ;;
esac

# Every tooltip the monitor can compose from its own literals with this simulator's SSID,
# cut to 63 characters, in linkwatch's quoting.
known_tips() {
    local router isp name tip
    for router in Connected "Not connected"; do
        for isp in Connected "Not connected"; do
            for name in NULL wireless; do
                tip=" Router : $router "$'\n'" ISP : $isp "$'\n'" Network name : $name"
                tip=${tip:0:63}
                printf '%s\n' "${tip//$'\n'/\\n}"
            done
        done
    done
}

# utime + stime of PID in clock ticks, and its resident set in KiB.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
alive() { [[ -r /proc/$1/comm && $(cat "/proc/$1/comm") == linkwatch ]]; }

bed_up
start_sim
start_linkwatch
watch_pid=${PIDS[-1]}
wait_for watch.log 'tray 128 " Router : Connected \\n ISP : Connected \\n Network name : wireless"' 25 "first PASS"
alive "$watch_pid" || fail "process $watch_pid is not linkwatch"

# Its one UDP endpoint, bound to the PC's address on a port the system chose.
sockets=$("$BED" exec "$NAME" pc ss -uanp | grep -F "pid=$watch_pid," || true)
port=$(awk '$4 ~ /^192\.168\.2\.10:[0-9]+$/ { sub(/.*:/, "", $4); print $4; exit }' <<<"$sockets")
[[ -n $port ]] || fail "no linkwatch socket on 192.168.2.10 in: $sockets"
echo "linkwatch $watch_pid listens on 192.168.2.10:$port"
# The group's port too, if it is bound there: the monitor joins the group on its interface.
group_socket=$(awk '$4 ~ /:7000$/' <<<"$sockets")

# One more poll so the resident set is the settled one, not the start-up one.
connected=$(time_of watch.log "$CONNECTED_TIP")
wait_after watch.log "$CONNECTED_TIP" "$connected" 15 "second poll"
rss_before=$(rss_kib "$watch_pid")
cpu_before=$(cpu_ticks "$watch_pid")

"$BED" exec "$NAME" rt "$FLOOD" --to "192.168.2.10:$port" --rate "$RATE" \
    --seconds "$SECONDS_OF_FLOOD" --max-len "$MAX_LEN" --seed "$SEED" >"$WORK/flood.log" 2>&1 ||
    fail "flood failed: $(cat "$WORK/flood.log")"
alive "$watch_pid" || fail "linkwatch died during the flood (seed $SEED)"
cpu_after=$(cpu_ticks "$watch_pid")
rss_after=$(rss_kib "$watch_pid")

read -r sent took < <(awk '/^sent / { print $2, $4 }' "$WORK/flood.log") || true
read -r from to < <(awk '/^flood: from / { print $3, $5 }' "$WORK/flood.log") || true
[[ -n $sent && -n $from ]] || fail "flood printed no summary: $(cat "$WORK/flood.log")"
held=$(awk -v n="$sent" -v s="$took" 'BEGIN { printf "%d", n / s }')
expected=$(awk -v r="$RATE" -v s="$SECONDS_OF_FLOOD" 'BEGIN { printf "%d", r * s }')
echo "measured: flood rate held = $held/s"
echo "measured: datagrams sent = $sent"
((sent == expected)) || fail "only $sent of $expected datagrams went out"
# Below this the machine, not the monitor, was under test.
((held >= RATE * 7 / 10)) || fail "the flood held only $held/s of $RATE/s"

# The cycle went on under the flood: the simulator answered polls and the tray was updated.
in_window() { { grep -E -- "$2" "$WORK/$1" || true; } | awk -v a="$from" -v b="$to" '$1 >= a && $1 <= b' | wc -l; }
answered=$(in_window sim.log "$STATUS_REPLY")
trays=$(in_window watch.log ' tray ')
echo "during the flood: $answered status replies sent, $trays tray updates"
((answered >= 3)) || fail "not one whole poll answered during the flood"
((trays >= 1)) || fail "no tray update during the flood"

if [[ -n $group_socket ]]; then
    echo "linkwatch also listens on $(awk '{ print $4 }' <<<"$group_socket"): flooding the group"
    "$BED" exec "$NAME" rt "$FLOOD" --to 234.2.3.4:7000 --via 192.168.2.1 --rate "$RATE" \
        --seconds 5 --max-len "$MAX_LEN" --seed "$SEED" >"$WORK/group-flood.log" 2>&1 ||
        fail "group flood failed: $(cat "$WORK/group-flood.log")"
    alive "$watch_pid" || fail "linkwatch died during the group flood (seed $SEED)"
    to=$(awk '/^flood: from / { print $5 }' "$WORK/group-flood.log")
    rss_after=$(rss_kib "$watch_pid")
else
    echo "linkwatch has no socket on port 7000: the group's port is not flooded"
fi

# A second round in which no datagram is dressed as a status reply: a poll under it can
# only be taken from the simulator's own reply, so each one shows that a real reply got
# through the flood to the tray before the poll's check, 3 s after it.
"$BED" exec "$NAME" rt "$FLOOD" --to "192.168.2.10:$port" --rate "$RATE" \
    --seconds "$SECONDS_OF_FLOOD" --max-len "$MAX_LEN" --seed "$((SEED + 1))" \
    --spare-opcode 0x35 >"$WORK/flood2.log" 2>&1 || fail "flood failed: $(cat "$WORK/flood2.log")"
alive "$watch_pid" || fail "linkwatch died during the second flood (seed $((SEED + 1)))"
rss_after2=$(rss_kib "$watch_pid")
read -r from2 to2 < <(awk '/^flood: from / { print $3, $5 }' "$WORK/flood2.log") || true
[[ -n $from2 ]] || fail "flood printed no summary: $(cat "$WORK/flood2.log")"
polls=$({ grep -E ' rx [0-9.:]+ 8 0102a8c0012b0000$' "$WORK/sim.log" || true; } |
    awk -v a="$from2" -v b="$to2" '$1 >= a && $1 <= b - 2.5 && $1 > last + 1 { print $1 } { last = $1 }')
total=0 through=0
for poll in $polls; do
    total=$((total + 1))
    if grep -E ' tray 128 ' "$WORK/watch.log" | awk -v p="$poll" '$1 >= p && $1 <= p + 2.5' | grep -q .; then
        through=$((through + 1))
    else
        echo "poll at $poll: no tray 128 within 2.5 s"
    fi
done
echo "measured: polls under the status-sparing flood taken from the simulator's reply = $through/$total"
((total >= 1)) || fail "no whole poll under the second flood"
((through == total)) || fail "the simulator's replies did not get through the flood (seed $((SEED + 1)))"
to=$to2

# And after it: two more polls reach the tray, so a loss the flood set up would show here.
wait_after watch.log "$CONNECTED_TIP" "$to" 15 "first poll after the flood"
after=$(time_after watch.log "$CONNECTED_TIP" "$to")
wait_after watch.log "$CONNECTED_TIP" "$after" 15 "second poll after the flood"
wait_after sim.log "$STATUS_REPLY" "$to" 15 "status reply after the flood"
sleep 4 # that poll's check
alive "$watch_pid" || fail "linkwatch died after the flood (seed $SEED)"

losses=$(grep -cE -- "$LOST_TIP" "$WORK/watch.log" || true)
echo "measured: losses seen = $losses"
((losses == 0)) || fail "the router was declared lost (seed $SEED)"

# Every tip is one the monitor composes from its own texts, within 63 characters, and the
# picture says Connected exactly when the ISP line does.
known=$(known_tips)
bad=0
while IFS='|' read -r picture tip; do
    if ! grep -qxF -- "$tip" <<<"$known"; then
        echo "unknown tip: $picture $tip"
        bad=1
    fi
    raw=$(printf '%s' "$tip" | sed -E 's/\\(x[0-9a-f]{2}|.)/_/g')
    if ((${#raw} > 63)); then
        echo "tip of ${#raw} characters: $tip"
        bad=1
    fi
    case $tip in
    *"ISP : Connected "*) [[ $picture == 128 ]] || { echo "picture $picture with $tip"; bad=1; } ;;
    *) [[ $picture == 175 ]] || { echo "picture $picture with $tip"; bad=1; } ;;
    esac
done < <(sed -nE 's/^[0-9.]+ tray ([0-9]+) "(.*)"$/\1|\2/p' "$WORK/watch.log")
((bad == 0)) || fail "tray showed what the monitor never composes (seed $SEED)"
tips=$(grep -c ' tray ' "$WORK/watch.log")

echo "measured: RSS before -> after = $rss_before -> $rss_after KiB"
echo "measured: RSS after the second flood = $rss_after2 KiB"
((rss_after <= rss_before + RSS_MARGIN)) || fail "resident set grew by $((rss_after - rss_before)) KiB"
((rss_after2 <= rss_before + RSS_MARGIN)) || fail "resident set grew by $((rss_after2 - rss_before)) KiB"
cpu=$(awk -v t="$((cpu_after - cpu_before))" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", t / hz }')
echo "measured: CPU of linkwatch during flood = $cpu s"

echo "passed: seed $SEED, $tips tray updates all known, port $port"
