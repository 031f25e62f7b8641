#!/usr/bin/env bash
# On a desktop with a StatusNotifier host (D-Bus) that appears after the monitor started,
# the icon still appears there, and the host's activation opens the main window (a D-Bus
# host never delivers a double-click).
. "$(dirname "$0")/lib.sh"
command -v dbus-daemon >/dev/null || fail "dbus-daemon is not installed"
start_bed_and_sim
start_x
pc dbus-daemon --session --nofork --address="unix:path=$WORK/run/bus" >"$WORK/dbus.log" 2>&1 &
PIDS+=($!)
until_true 5 "session bus" test -S "$WORK/run/bus"
BUS="unix:path=$WORK/run/bus"
pc env DBUS_SESSION_BUS_ADDRESS="$BUS" "$LINKPANEL" >"$WORK/linkpanel.log" 2>&1 &
LP_PID=$!
PIDS+=("$LP_PID")
until_true 10 "main window" main_window_shown
until_true 5 "hidden main window" main_window_hidden
sleep 1.5
pc env DBUS_SESSION_BUS_ADDRESS="$BUS" "$FAKE_WATCHER" >"$WORK/watcher.log" 2>&1 &
PIDS+=($!)
until_true 10 "icon registered with the host" grep -q '^registered ' "$WORK/watcher.log"
until_true 10 "activation" grep -q '^activated ok' "$WORK/watcher.log"
until_true 5 "main window opened by the activation" main_window_shown
echo passed
