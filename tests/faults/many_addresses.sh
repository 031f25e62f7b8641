#!/usr/bin/env bash
# 25 addresses on the PC, the router behind the 20th: the monitor takes the first 20 in the
# system's order, opens them one per 3.6 s cycle, and finds the router on the 20th after 19
# empty cycles; the 5 beyond the cap are never opened.
. "$(dirname "$0")/common.sh"
bed_up
for i in $(seq 1 18); do pc addr add 10.0.1.$i/32 dev eth0; done
pc link add eth2 type veth peer name eth2 netns "$NAME-dead"
for i in $(seq 1 5); do pc addr add 10.0.2.$i/32 dev eth2; done
pc link set eth2 up
ip -n "$NAME-dead" link set eth2 up
mapfile -t listed < <(pc -4 -o addr show up | awk '$2 != "lo" { sub("/.*", "", $4); print $4 }')
((${#listed[@]} == 25)) || fail "expected 25 addresses, the PC has ${#listed[@]}"
[[ ${listed[19]} == 192.168.2.10 ]] || fail "192.168.2.10 is not the 20th address: ${listed[*]}"
start_sim
start_watch
wait_for watch.log "$CONNECTED_TIP" 100 "discovery on the 20th address"
found=$(time_of watch.log "$CONNECTED_TIP" 1)
first=$(time_of watch.log 'push-main-window .* local="' 1)
mapfile -t opened < <(grep -E 'push-main-window .* local="' "$WORK/watch.log" | awk -v t="$found" '$1 < t' |
    grep -oE 'local="[^"]*"' | sed 's/local="\(.*\)"/\1/' | uniq)
[[ "${opened[*]}" == "${listed[*]:0:20}" ]] ||
    fail "opened, in order: ${opened[*]}; expected the first 20: ${listed[*]:0:20}"
expect_between "$(elapsed "$first" "$found")" 64.6 79.8 "first open to discovery on the 20th"
for a in "${listed[@]:20}"; do
    grep -qE "push-main-window .* local=\"${a//./\\.}\"" "$WORK/watch.log" && fail "opened $a beyond the first 20"
done
wait_for watch.log 'tray 128 ' 10 "an answered poll"
expect_running
measured "start to connected with 25 addresses, router on the 20th (s)" "$(elapsed "$first" "$found")"
echo passed
