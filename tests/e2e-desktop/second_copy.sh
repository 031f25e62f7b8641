#!/usr/bin/env bash
# A second copy shows the warning box and ends with code 0; the first copy goes on polling
# and keeps its one icon.
. "$(dirname "$0")/lib.sh"
start_bed_and_sim
start_x
start_tray
start_linkpanel first
FIRST=$LP_PID
until_true 25 "first poll" at_least 1 status_requests
start_linkpanel second
SECOND=$LP_PID
until_true 10 "warning box" pc xdotool search --onlyvisible --name '^Warning$'
box=$(pc xdotool search --onlyvisible --name '^Warning$' | head -n 1)
pc xdotool windowfocus --sync "$box" key Return
until_true 5 "second copy's end" process_gone "$SECOND"
code=$(exit_code_of "$SECOND")
[[ $code == 0 ]] || fail "the second copy ended with code $code"
one_copy_left "$FIRST"
echo passed
