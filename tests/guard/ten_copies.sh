#!/usr/bin/env bash
# Ten copies started at once by the same user on the same display: exactly one keeps
# running and polling; the nine others each show the warning box and end with code 0.
. "$(dirname "$0")/../e2e-desktop/lib.sh"
start_bed_and_sim
start_x
start_tray
COPIES=()
started=$(now)
for i in 0 1 2 3 4 5 6 7 8 9; do
    start_linkpanel "copy$i"
    COPIES+=("$LP_PID")
done
boxes() { pc xdotool search --onlyvisible --name '^Warning$' 2>/dev/null | wc -l; }
until_true 40 "nine warning boxes" at_least 9 boxes
shown=$(now)
(($(boxes) == 9)) || fail "$(boxes) warning boxes"
# Each box is answered; its copy then ends.
for box in $(pc xdotool search --onlyvisible --name '^Warning$'); do
    pc xdotool windowfocus --sync "$box" key Return
done
alive() {
    local pid n=0
    for pid in "${COPIES[@]}"; do kill -0 "$pid" 2>/dev/null && n=$((n + 1)); done
    echo "$n"
}
until_true 15 "nine copies' end" exactly 1 alive
settled=$(now)
for pid in "${COPIES[@]}"; do
    process_gone "$pid" || { survivor=$pid; continue; }
    code=$(exit_code_of "$pid")
    [[ $code == 0 ]] || fail "a second copy ended with code $code"
done
one_copy_left "$survivor"
echo "measured: ten copies: nine warning boxes after $(elapsed "$started" "$shown") s, one copy left after $(elapsed "$started" "$settled") s"
echo passed
