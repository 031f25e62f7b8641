# Shared steps of the end-to-end desktop tests: a private test bed with the router
# simulator, an X server of its own (Xvfb, display number chosen by the server), an XEmbed
# tray host (trayer), optionally a window manager (openbox), and the real linkpanel, all
# inside the bed's PC namespace. Expects LINKPANEL, ROUTER_SIM and BED (set by ctest).
set -euo pipefail

[[ $(id -u) -eq 0 ]] || { echo "needs root for network namespaces: skipped"; exit 77; }
for tool in Xvfb trayer xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

NAME=${NAME:-d$$}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/linkpanel-desktop-test.XXXXXX")
chmod 700 "$WORK"
mkdir -m 700 "$WORK/run"
PIDS=()
TITLE='Wavecastor 6851 Control Utility'

cleanup() {
    local status=$?
    local i
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null || true; done
    # Whatever still runs in this test's own namespaces was started by it.
    for ns in pc rt dead; do
        for pid in $(ip netns pids "$NAME-$ns" 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
    done
    wait 2>/dev/null || true
    "$BED" down "$NAME" >/dev/null 2>&1 || true
    if [[ $status -ne 0 && $status -ne 77 ]]; then
        for f in "$WORK"/*.log "$WORK"/*.txt; do [[ -f $f ]] && { echo "---- $f"; tail -n 40 "$f"; }; done
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Everything runs in the PC namespace, with a private runtime directory (lock and close
# channel) and home, and without a D-Bus session so that Qt uses the XEmbed tray.
pc() {
    "$BED" exec "$NAME" pc env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY \
        HOME="$WORK" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config" \
        DISPLAY="${DISPLAY_NAME:-}" QT_QPA_PLATFORM=xcb "$@"
}

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
later_than() { awk -v a="$(now)" -v b="$1" -v l="$2" 'BEGIN { exit !(a - b > l) }'; }

# until_true SECONDS WHAT COMMAND...: runs COMMAND every 0.1 s until it succeeds.
until_true() {
    local limit=$1 what=$2 start
    shift 2
    start=$(now)
    until "$@" >/dev/null; do
        later_than "$start" "$limit" && fail "no $what within $limit s"
        sleep 0.1
    done
}

# The bed, the simulator at 192.168.2.1 (commands through $WORK/sim.in, log in sim.log).
start_bed_and_sim() {
    "$BED" up "$NAME"
    mkfifo "$WORK/sim.in"
    "$BED" exec "$NAME" rt "$ROUTER_SIM" --address 192.168.2.1 --ssid wireless --channel 6 \
        --wep on --name Wavecastor --wan ip --password admin --status PASS \
        <"$WORK/sim.in" >"$WORK/sim.log" 2>&1 &
    SIM_PID=$!
    PIDS+=("$SIM_PID")
    exec 9>"$WORK/sim.in"
}

# Xvfb prints the display number it took on the descriptor given to -displayfd.
start_x() {
    pc Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp >"$WORK/display.txt" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    until_true 10 "X server" grep -qE '^[0-9]+$' "$WORK/display.txt"
    DISPLAY_NAME=:$(head -n 1 "$WORK/display.txt")
}

start_tray() {
    pc trayer --edge top --align left --widthtype pixel --width 120 --heighttype pixel \
        --height 24 --transparent false >"$WORK/trayer.log" 2>&1 &
    PIDS+=($!)
    until_true 10 "tray host" tray_host_present
}
tray_host_present() { [[ $(window_tree) == *'("panel" "trayer")'* ]]; }

# The whole window tree, read completely (a reader that stops early would break the pipe).
window_tree() { pc xwininfo -root -tree 2>/dev/null || true; }

# Windows of ours inside trayer's panel (which a window manager may have reparented),
# one "ID W H X Y" line each, with the absolute position.
panel_windows() {
    window_tree | awk '
        /\("panel" "trayer"\)/ { match($0, /^ */); depth = RLENGTH; inpanel = 1; next }
        inpanel { match($0, /^ */); if (RLENGTH <= depth && $1 ~ /^0x/) inpanel = 0 }
        inpanel && /\("linkpanel" "linkpanel"\)/ {
            split($(NF - 1), g, /[x+]/); split($NF, a, /\+/); print $1, g[1], g[2], a[2], a[3] }'
}

start_wm() {
    pc openbox >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    until_true 10 "window manager" pc sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}

# linkpanel [NAME]: starts a copy; its pid in LP_PID, output in NAME.log.
start_linkpanel() {
    local log=${1:-linkpanel}
    pc "$LINKPANEL" >"$WORK/$log.log" 2>&1 &
    LP_PID=$!
    PIDS+=("$LP_PID")
}

# The tray icon: a window of ours, at most 64 px square, embedded in trayer's panel.
# Prints "ID W H X Y" (absolute position) or nothing.
icon_window() { panel_windows | awk '$2 <= 64 && $3 <= 64 && !found { print; found = 1 }'; }
icon_present() { [[ -n $(icon_window) ]]; }

# The icon's picture as its dominant hue: "green" (128, connected), "red" (175), or "other".
icon_colour() {
    local id w h x y rgb
    read -r id w h x y <<<"$(icon_window)"
    [[ -n ${id:-} ]] || { echo none; return; }
    pc import -window root -crop "${w}x${h}+${x}+${y}" +repage "$WORK/icon.png" 2>/dev/null || { echo none; return; }
    rgb=$(convert "$WORK/icon.png" -scale '1x1!' -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
    awk -v c="$rgb" 'BEGIN { split(c, v, " ");
        if (v[2] > v[1] + 30 && v[2] > v[3]) print "green"; else if (v[1] > v[2] + 30) print "red"; else print "other" }'
}
icon_is() { [[ $(icon_colour) == "$1" ]]; }

# The main window's map state: IsViewable, IsUnMapped, or nothing when it does not exist.
main_window_state() {
    pc xwininfo -name "$TITLE" 2>/dev/null | awk -F': *' '/Map State/ { print $2 }'
}
main_window_shown() { [[ $(main_window_state) == IsViewable ]]; }
main_window_hidden() { [[ $(main_window_state) == IsUnMapped ]]; }

process_gone() { ! kill -0 "$1" 2>/dev/null; }

# The exit code of a process that has ended (waits for it).
exit_code_of() {
    local code=0
    wait "$1" || code=$?
    echo "$code"
}

# Internet status requests seen by the simulator (8 bytes, opcode 0x2b).
status_requests() { grep -cE ' rx [0-9.:]+ 8 [0-9a-f]{8}012b' "$WORK/sim.log" || true; }

# Clicks on the tray icon: BUTTON, repeat count.
click_icon() {
    local id w h x y
    read -r id w h x y <<<"$(icon_window)"
    [[ -n ${id:-} ]] || fail "no tray icon to click"
    pc xdotool mousemove $((x + w / 2)) $((y + h / 2)) click --repeat "${2:-1}" --delay 80 "$1"
}
