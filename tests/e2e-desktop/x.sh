# X helpers of the desktop's end-to-end tests: an X server of the test's own (Xvfb, on a
# display number no other server holds), an XEmbed tray host (trayer), a window manager
# (openbox), and ways to find, look at and click the tray icon. The caller provides WORK (a
# private directory), the array PIDS (processes to stop) and pc (runs a command in the
# test's network namespace on display DISPLAY_NAME). APP_CLASS is the program's X class.
APP_CLASS=${APP_CLASS:-linkpanel}

fail() { echo "FAIL: $*"; exit 1; }

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
later_than() { awk -v a="$(now)" -v b="$1" -v l="$2" 'BEGIN { exit !(a - b > l) }'; }

# Conditions for until_true, evaluated afresh each time: at_least N COMMAND... (COMMAND
# prints a number), exactly N COMMAND..., nonempty COMMAND....
at_least() { local n=$1; shift; (($("$@") >= n)); }
exactly() { local n=$1; shift; (($("$@") == n)); }
nonempty() { [[ -n $("$@") ]]; }

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

# An X server on a display number of its own on this machine (see tests/bed/xvfb).
XVFB=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../bed/xvfb")
start_x() {
    pc "$XVFB" "$WORK/display.txt" -screen 0 800x600x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    PIDS+=($!)
    until_true 10 "X server" test -s "$WORK/display.txt"
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
    window_tree | awk -v cls="$APP_CLASS" '
        /\("panel" "trayer"\)/ { match($0, /^ */); depth = RLENGTH; inpanel = 1; next }
        inpanel { match($0, /^ */); if (RLENGTH <= depth && $1 ~ /^0x/) inpanel = 0 }
        inpanel && index($0, "(\"" cls "\" \"" cls "\")") {
            split($(NF - 1), g, /[x+]/); split($NF, a, /\+/); print $1, g[1], g[2], a[2], a[3] }'
}

start_wm() {
    pc openbox >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    until_true 10 "window manager" pc sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
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

process_gone() { ! kill -0 "$1" 2>/dev/null; }

# The exit code of a process that has ended (waits for it).
exit_code_of() {
    local code=0
    wait "$1" || code=$?
    echo "$code"
}

# Clicks on the tray icon: BUTTON, repeat count.
click_icon() {
    local id w h x y
    read -r id w h x y <<<"$(icon_window)"
    [[ -n ${id:-} ]] || fail "no tray icon to click"
    pc xdotool mousemove $((x + w / 2)) $((y + h / 2)) click --repeat "${2:-1}" --delay 80 "$1"
}
