#!/usr/bin/env bash
# TrayIcon on an XEmbed tray (trayer) under an X server of its own: the icon waits for a
# host that starts late, shows the not-connected then the connected picture, maps the
# mouse as the window expects (a single click nothing, a double-click 515, the right
# button 516 and the menu), and the menu's "Exit" removes the icon and ends with code 0.
set -euo pipefail
[[ -n ${IN_PRIVATE_NETNS:-} ]] || exec env IN_PRIVATE_NETNS=1 "$(dirname "$0")/in-netns.sh" "$0" "$@"
: "${TRAY_DRIVER:?}"
for tool in Xvfb trayer xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done
. "$(dirname "$0")/tray-lib.sh"
pc() { env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY DISPLAY="${DISPLAY_NAME:-}" QT_QPA_PLATFORM=xcb "$@"; }
APP_CLASS=tray-driver
. "$(dirname "$0")/../e2e-desktop/x.sh"

start_x
mkfifo "$WORK/driver.in"
pc "$TRAY_DRIVER" <"$WORK/driver.in" >"$WORK/driver.log" 2>&1 &
DRIVER=$!
PIDS+=("$DRIVER")
exec 9>"$WORK/driver.in"
say() { echo "$*" >&9; }
said() { grep -cx "$1" "$WORK/driver.log" || true; }

say 'add Router : Not connected\nISP : Not connected\nNetwork name : NULL'
until_true 5 "driver" at_least 1 said 'shown 0'
sleep 1
start_tray
until_true 5 "icon after the host started" icon_present
until_true 2 "not-connected picture" icon_is red

say 'modify 128  Router : Connected \n ISP : Connected \n Network name : wireless'
until_true 3 "connected picture" icon_is green
say 'modify 175  Router : Not connected \n ISP : Not connected \n Network name : NULL'
until_true 3 "not-connected picture again" icon_is red

click_icon 1
sleep 0.8
[[ $(grep -c '^notify' "$WORK/driver.log" || true) == 0 ]] || fail "a single click was reported"
click_icon 1 2
until_true 3 "515 for a double-click" exactly 1 said 'notify 515'
sleep 0.5
[[ $(said 'notify 515') == 1 ]] || fail "one double-click gave $(said 'notify 515') messages"

menu_window() {
    window_tree | awk -v cls="$APP_CLASS" 'index($0, "(\"" cls "\" \"" cls "\")") {
        split($(NF - 1), g, /[x+]/); split($NF, a, /\+/)
        if (g[2] > 30 && g[2] < 120 && g[1] < 300 && !n++) { print g[1], g[2], a[2], a[3] } }'
}
click_icon 3
until_true 3 "516 for the right button" exactly 1 said 'notify 516'
until_true 3 "tray menu" nonempty menu_window
read -r w h x y <<<"$(menu_window)"
# "Open", a separator, "Exit": the first item at the top, the last at the bottom.
pc xdotool mousemove $((x + w / 2)) $((y + 12)) click 1
until_true 3 '"Open"' exactly 1 said 'command 32782'
click_icon 3
until_true 3 "tray menu again" nonempty menu_window
read -r w h x y <<<"$(menu_window)"
pc xdotool mousemove $((x + w / 2)) $((y + h - 12)) click 1
until_true 3 "end after Exit" process_gone "$DRIVER"
code=$(exit_code_of "$DRIVER")
[[ $code == 0 ]] || fail "Exit ended with code $code"
[[ $(said 'command 32786') == 1 ]] || fail '"Exit" was not reported'
icon_present && fail "the icon is still in the tray"
echo passed
