#!/usr/bin/env bash
# The icon is embedded in the tray host with the not-connected picture, turns to the
# connected picture after the router's "PASS", and back after the router is lost. The tray
# host starts after the monitor, as at a login, and the icon still appears.
. "$(dirname "$0")/lib.sh"
start_bed_and_sim
start_x
start_linkpanel
sleep 1.5
icon_present && fail "an icon without a tray host"
start_tray
until_true 5 "tray icon after the host started" icon_present
icon_is red || fail "the first picture is $(icon_colour), not the not-connected one"
until_true 25 "connected picture" icon_is green
(($(status_requests) >= 1)) || fail "connected without a status request"
echo "ok: connected"
# The router goes away: two polls without an answer declare it lost.
kill "$SIM_PID"
until_true 25 "not-connected picture after the loss" icon_is red
echo passed
