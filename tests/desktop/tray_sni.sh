#!/usr/bin/env bash
# TrayIcon on a StatusNotifier host (D-Bus) that appears after the icon was added: the icon
# registers with it, and the host's activation is reported as 515, since such a host never
# delivers a double-click.
set -euo pipefail
[[ -n ${IN_PRIVATE_NETNS:-} ]] || exec env IN_PRIVATE_NETNS=1 "$(dirname "$0")/in-netns.sh" "$0" "$@"
: "${TRAY_DRIVER:?}" "${FAKE_WATCHER:?}"
for tool in Xvfb dbus-daemon xwininfo; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done
. "$(dirname "$0")/tray-lib.sh"
BUS="unix:path=$WORK/bus"
pc() { env -u WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS="$BUS" DISPLAY="${DISPLAY_NAME:-}" QT_QPA_PLATFORM=xcb "$@"; }
APP_CLASS=tray-driver
. "$(dirname "$0")/../e2e-desktop/x.sh"

start_x
dbus-daemon --session --nofork --address="$BUS" >"$WORK/dbus.log" 2>&1 &
PIDS+=($!)
until_true 5 "session bus" test -S "$WORK/bus"
mkfifo "$WORK/driver.in"
pc "$TRAY_DRIVER" <"$WORK/driver.in" >"$WORK/driver.log" 2>&1 &
PIDS+=($!)
exec 9>"$WORK/driver.in"
echo 'add Router : Not connected\nISP : Not connected\nNetwork name : NULL' >&9
sleep 1.5
grep -qx 'shown 0' "$WORK/driver.log" || fail "the icon was shown before any host existed"
pc "$FAKE_WATCHER" >"$WORK/watcher.log" 2>&1 &
PIDS+=($!)
until_true 10 "registration with the host" grep -q '^registered ' "$WORK/watcher.log"
until_true 10 "activation" grep -q '^activated ok' "$WORK/watcher.log"
until_true 3 "515 for the activation" grep -qx 'notify 515' "$WORK/driver.log"
echo passed
