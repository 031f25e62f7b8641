#!/usr/bin/env bash
# A close request only hides the main window, until another program of the same user sends
# the close-for-real message: after the "hi" box, the next close ends the program.
. "$(dirname "$0")/lib.sh"
start_bed_and_sim
start_x
start_wm
start_tray
start_linkpanel
until_true 10 "tray icon" icon_present
until_true 5 "hidden main window" main_window_hidden

# A double-click shows the window; the window manager's close hides it again.
click_icon 1 2
until_true 5 "window shown by a double-click" main_window_shown
pc wmctrl -c "$TITLE"
until_true 5 "window hidden by a close" main_window_hidden
process_gone "$LP_PID" && fail "a plain close ended the program"

# The message, in the way the README gives it.
pc sh -c 'printf x | nc -NU "$XDG_RUNTIME_DIR/TAVO_CONTROL_UTILITY.sock"'
until_true 5 '"hi" box' hi_box
pc xdotool windowfocus --sync "$(hi_box)" key Return
no_hi_box() { ! hi_box >/dev/null; }
until_true 5 '"hi" box to go' no_hi_box

click_icon 1 2
until_true 5 "window shown again" main_window_shown
pc wmctrl -c "$TITLE"
until_true 5 "program's end after the close" process_gone "$LP_PID"
code=$(exit_code_of "$LP_PID")
[[ $code == 0 ]] || fail "ended with code $code"
icon_present && fail "the icon is still in the tray"
echo passed
