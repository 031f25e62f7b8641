#!/usr/bin/env bash
# At start the main window is shown, and it hides itself about 200 ms later; the tray icon
# stays.
. "$(dirname "$0")/lib.sh"
start_bed_and_sim
start_x
start_tray
start_linkpanel
until_true 10 "main window" main_window_shown
shown=$(now)
until_true 5 "hidden main window" main_window_hidden
hidden=$(now)
# The poll every 0.1 s and the start-up of xwininfo blur both ends by up to ~0.15 s.
visible=$(elapsed "$shown" "$hidden")
awk -v v="$visible" 'BEGIN { exit !(v < 0.6) }' || fail "the window stayed for $visible s"
echo "ok: visible for about $visible s"
until_true 10 "tray icon" icon_present
sleep 1
main_window_hidden || fail "the window came back"
icon_present || fail "the icon went away"
echo passed
