#!/usr/bin/env bash
# The tray menu's "Exit" removes the icon and ends the program with code 0.
. "$(dirname "$0")/lib.sh"
start_bed_and_sim
start_x
start_tray
start_linkpanel
until_true 10 "tray icon" icon_present
until_true 5 "hidden main window" main_window_hidden
click_icon 3
menu_window() {
    window_tree | awk '/\("linkpanel" "linkpanel"\)/ {
        split($(NF - 1), g, /[x+]/); split($NF, a, /\+/)
        if (g[2] > 30 && g[2] < 120 && g[1] < 300 && !n++) { print g[1], g[2], a[2], a[3] } }'
}
until_true 5 "tray menu" nonempty menu_window
read -r w h x y <<<"$(menu_window)"
# "Open", a separator, "Exit": the last item sits at the bottom of the menu.
pc xdotool mousemove $((x + w / 2)) $((y + h - 12)) click 1
until_true 5 "program's end" process_gone "$LP_PID"
code=$(exit_code_of "$LP_PID")
[[ $code == 0 ]] || fail "ended with code $code"
icon_present && fail "the icon is still in the tray"
echo passed
