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
. "$(dirname "${BASH_SOURCE[0]}")/x.sh"

# Everything runs in the PC namespace, with a private runtime directory (lock and close
# channel) and home, and without a D-Bus session so that Qt uses the XEmbed tray.
pc() {
    "$BED" exec "$NAME" pc env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY \
        HOME="$WORK" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config" \
        DISPLAY="${DISPLAY_NAME:-}" QT_QPA_PLATFORM=xcb "$@"
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

# linkpanel [NAME]: starts a copy; its pid in LP_PID, output in NAME.log.
start_linkpanel() {
    local log=${1:-linkpanel}
    pc "$LINKPANEL" >"$WORK/$log.log" 2>&1 &
    LP_PID=$!
    PIDS+=("$LP_PID")
}

# The main window's map state: IsViewable, IsUnMapped, or nothing when it does not exist.
main_window_state() {
    pc xwininfo -name "$TITLE" 2>/dev/null | awk -F': *' '/Map State/ { print $2 }'
}
main_window_shown() { [[ $(main_window_state) == IsViewable ]]; }
main_window_hidden() { [[ $(main_window_state) == IsUnMapped ]]; }

# Internet status requests seen by the simulator (8 bytes, opcode 0x2b).
status_requests() { grep -cE ' rx [0-9.:]+ 8 [0-9a-f]{8}012b' "$WORK/sim.log" || true; }

# one_copy_left PID: the copy PID still runs, still polls the router, and has the only icon.
one_copy_left() {
    local before after icons
    before=$(status_requests)
    sleep 7
    after=$(status_requests)
    ((after > before)) || fail "the copy left stopped polling ($before status requests, then $after)"
    process_gone "$1" && fail "the copy left ended"
    icons=$(panel_windows | wc -l)
    [[ $icons == 1 ]] || fail "expected one tray icon, found $icons"
}

# The "hi" box that the close channel's message brings up. It is captioned with the
# program's name, as the icon window is named: the box is the larger one.
hi_box() {
    for id in $(pc xdotool search --onlyvisible --name '^linkpanel$'); do
        [[ $(pc xwininfo -id "$id" | awk '/Width:/ { print $2 }') -gt 64 ]] && { echo "$id"; return 0; }
    done
    return 1
}
