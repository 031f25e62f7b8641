#!/usr/bin/env bash
# Two local addresses, only the second leads to the router: the first cycle opens the
# first address and gets no reply, the second finds the router, discovery then stops, and
# the router-information reply fills the main window's fields.
. "$(dirname "$0")/lib.sh"
bed_up
start_sim
start_linkwatch
wait_for watch.log 'push-main-window .*name="Wavecastor" network="wireless" channel="6" wep="Enabled" address="192.168.2.1" local="192.168.2.10" type="IP connection type specified."' 15 "router information"
first_open=$(grep -m1 -E 'push-main-window .* local="' "$WORK/watch.log" | grep -oE 'local="[^"]*"')
[[ $first_open == 'local="10.0.0.5"' ]] || fail "first cycle opened $first_open, not 10.0.0.5"
found=$(time_of watch.log "$CONNECTED_TIP" 1)
opened_second=$(time_of watch.log 'push-main-window .* local="192.168.2.10"' 1)
opened_first=$(time_of watch.log 'push-main-window .* local="10.0.0.5"' 1)
expect_between "$(elapsed "$opened_first" "$opened_second")" 3.4 4.2 "first cycle"
expect_between "$(elapsed "$opened_second" "$found")" 0 0.5 "second address to discovery reply"
# The discovery request went out once, on the second link only, with its exact bytes.
grep -cE ' rx 192\.168\.2\.10:[0-9]+ 16 0000000001010800524f4c5641524e53$' "$WORK/sim.log" | grep -qx 1 ||
    fail "expected exactly one discovery request at the simulator"
# The worker ends at its next check: in two more cycles' time no endpoint is opened and no
# further router-information request arrives; the finding cycle's five carry the address.
sleep 8
grep -E 'push-main-window .* local="10\.0\.0\.5"' "$WORK/watch.log" | awk -v t="$found" '$1 > t' |
    grep -q . && fail "discovery went on after the router was found"
info=$(grep -cE ' rx [0-9.:]+ 8 [0-9a-f]{8}0129' "$WORK/sim.log" || true)
[[ $info -eq 5 ]] || fail "expected 5 router-information requests at the simulator, saw $info"
[[ $(grep -cE ' rx [0-9.:]+ 8 0102a8c001290000$' "$WORK/sim.log") -eq 5 ]] ||
    fail "the finding cycle's requests do not carry the router's address"
grep -qE "$LOST_TIP" "$WORK/watch.log" && fail "the link was declared lost"
echo passed
