#!/usr/bin/env bash
# A settings change through the real dialogs: "Options", a new SSID and channel, "Save /
# Restart", the old password. The router gets five identical set datagrams that keep the
# current password; after its restart, once discovery has found it again, "Open" asks for
# and gets the router's information. Then the router reports a PPPoE link whose Internet
# status fails: after the alert box the router gets the reboot text. The whole run is
# captured on the router's side and checked with the Wireshark dissector.
# SHOT=FILE keeps a picture of the settings dialog, CAPTURE=FILE the capture.
. "$(dirname "$0")/../e2e-desktop/lib.sh"

"$BED" up "$NAME"
mkfifo "$WORK/sim.in"
"$BED" exec "$NAME" rt "$ROUTER_SIM" --address 192.168.2.1 --ssid wireless --channel 6 \
    --wep on --name Wavecastor --wan ip --password admin --status PASS --restart-ms 4000 \
    <"$WORK/sim.in" >"$WORK/sim.log" 2>&1 &
PIDS+=($!)
exec 9>"$WORK/sim.in"
command -v dumpcap >/dev/null || fail "dumpcap is not installed"
"$BED" exec "$NAME" rt dumpcap -q -i eth0 -f 'udp port 7000' -w "$WORK/run.pcapng" >"$WORK/dumpcap.log" 2>&1 &
DUMPCAP=$!
PIDS+=("$DUMPCAP")
until_true 10 "capture start" grep -q 'Capturing on' "$WORK/dumpcap.log"
start_x
start_wm
start_tray
start_linkpanel

# Datagrams in the simulator's log: count_of rx|tx LENGTH-PATTERN PAYLOAD-PATTERN.
count_of() { grep -cE " $1 [0-9.:]+ $2 [0-9a-f]{8}$3" "$WORK/sim.log" || true; }
hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }
padded() { local h; h=$(hex "$1"); printf '%s%0*d' "$h" $((2 * $2 - ${#h})) 0; }

# The window's client area, "W H X Y", from its title.
geometry() {
    pc xwininfo -name "$1" 2>/dev/null | awk -F': *' '
        /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
        /Width/ { w = $2 } /Height/ { h = $2 } /Map State: IsViewable/ { v = 1 }
        END { if (v) print w, h, x, y }'
}
# click_at TITLE TEMPLATE-W TEMPLATE-H X Y: a click at a point given in the dialog's units;
# the client area is the template's size in those units, so a plain proportion finds it.
click_at() {
    local w h x y
    read -r w h x y <<<"$(geometry "$1")"
    pc xdotool mousemove $((x + w * $4 / $2)) $((y + h * $5 / $3)) click 1
}
# The tray menu's first item, "Open".
tray_open() {
    click_icon 3
    until_true 5 "tray menu" nonempty menu_window
    local w h x y
    read -r w h x y <<<"$(menu_window)"
    pc xdotool mousemove $((x + w / 2)) $((y + 12)) click 1
}
menu_window() {
    window_tree | awk -v cls="$APP_CLASS" 'index($0, "(\"" cls "\" \"" cls "\")") {
        split($(NF - 1), g, /[x+]/); split($NF, a, /\+/)
        if (g[2] > 30 && g[2] < 120 && g[1] < 300 && !n++) { print g[1], g[2], a[2], a[3] } }'
}
focus_on() { pc xdotool search --onlyvisible --name "^$1\$" windowactivate --sync windowfocus --sync; }

until_true 10 "tray icon" icon_present
until_true 5 "hidden main window" main_window_hidden
until_true 15 "connection" icon_is green
click_icon 1 2
until_true 5 "window shown by a double-click" main_window_shown

# "Options" (164, 205, 73 x 14 in the main window's 281 x 222).
replies=$(count_of tx '[0-9]+' '..34')
click_at "$TITLE" 281 222 200 212
until_true 5 "settings dialog" nonempty geometry Settings
until_true 5 "settings reply" at_least $((replies + 1)) count_of tx '[0-9]+' '..34'
sleep 0.3

# SSID (1016 at 85, 77, 119 x 12 in 213 x 126): all of it replaced.
focus_on Settings
click_at Settings 213 126 144 83
pc xdotool key ctrl+a type --delay 30 newnet
# Channel (1049 at 85, 92): the drop-down's own keys, to the last entry, "11".
click_at Settings 213 126 98 98
sleep 0.3
pc xdotool key End Return
sleep 0.3
if [[ -n ${SHOT:-} ]]; then pc import -window root "$SHOT"; fi

# "Save / Restart" (12, 111, 68 x 11), then the old password.
sets_before=$(count_of rx 58 031f)
click_at Settings 213 126 46 116
until_true 5 "password dialog" nonempty geometry 'Input Password'
focus_on 'Input Password'
pc xdotool type --delay 30 admin
pc xdotool key Return
until_true 10 "five set datagrams" exactly $((sets_before + 5)) count_of rx 58 031f
sleep 0.5

expected=0102a8c0031f3200$(padded admin 16)$(padded newnet 33)0b
mapfile -t sets < <(grep -E ' rx [0-9.:]+ 58 ' "$WORK/sim.log" | awk '{ print $NF }')
((${#sets[@]} == 5)) || fail "${#sets[@]} set datagrams"
for s in "${sets[@]}"; do [[ $s == "$expected" ]] || fail "set datagram $s, expected $expected"; done
grep -qx '# set password=admin ssid=newnet channel=11' "$WORK/sim.log" || fail "no set note"
echo "ok: five set datagrams, all $expected"

# The window emptied itself and forgot the router's address, so requests now carry the
# broadcast addressee, which the router ignores: only the failed polls bring back discovery.
discoveries=$(count_of tx '[0-9]+' 0201)
until_true 30 "discovery reply after the restart" at_least $((discoveries + 1)) count_of tx '[0-9]+' 0201
sleep 1
info_rx=$(grep -cE ' rx [0-9.:]+ [0-9]+ 0102a8c00129' "$WORK/sim.log" || true)
info_tx=$(count_of tx '[0-9]+' 0233)
echo 'wan ppp' >&9
tray_open
until_true 5 "window shown by Open" main_window_shown
at_rx() { grep -cE ' rx [0-9.:]+ [0-9]+ 0102a8c00129' "$WORK/sim.log" || true; }
until_true 5 "router information request" at_least $((info_rx + 1)) at_rx
until_true 5 "router information reply" at_least $((info_tx + 1)) count_of tx '[0-9]+' 0233
echo "ok: the router's information again after the restart"

# A PPPoE link that keeps failing: two failed polls make the Internet lost, six more bring
# the alert, and once it is acknowledged the reboot text goes out.
echo 'status FAIL' >&9
windows() { pc xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null || true; }
shown=$(windows | wc -l)
more_windows() { (($(windows | wc -l) > shown)); }
until_true 75 "PPPoE alert" more_windows
pc xdotool windowactivate --sync "$(windows | tail -n 1)" key Return
reboots() { grep -cE ' rx [0-9.:]+ 30 6b6f70616e69' "$WORK/sim.log" || true; }
until_true 10 "reboot text" at_least 1 reboots
sleep 1
echo "ok: $(reboots) reboot datagrams after the alert"

kill -INT "$DUMPCAP"
wait "$DUMPCAP" 2>/dev/null || true
[[ -z ${CAPTURE:-} ]] || cp "$WORK/run.pcapng" "$CAPTURE"
"$(dirname "$0")/../wireshark/whole_run.sh" "$WORK/run.pcapng"
echo passed
