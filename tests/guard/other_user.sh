#!/usr/bin/env bash
# Another user can neither reach the close-for-real channel nor look into the runtime
# directory that holds it and the lock; the program keeps running. The same user's
# message from the README still gets through.
. "$(dirname "$0")/../e2e-desktop/lib.sh"
# The test's folder is opened for passing through, so that only the runtime directory's
# own protection stands between the other user and the socket.
chmod 711 "$WORK"
start_bed_and_sim
start_x
start_wm
start_tray
start_linkpanel
until_true 10 "tray icon" icon_present
SOCK=$WORK/run/TAVO_CONTROL_UTILITY.sock
until_true 5 "close channel" test -S "$SOCK"

run_dir_mode=$(stat -c %a "$WORK/run")
[[ $run_dir_mode == 700 ]] || fail "runtime directory has mode $run_dir_mode"
sock_mode=$(stat -c %a "$SOCK")
((8#$sock_mode & 8#077)) && fail "socket has mode $sock_mode"

other() { pc setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
# Each attempt must fail, and fail for lack of permission, not for any other reason.
denied() {
    local what=$1 out
    shift
    if out=$(other "$@" 2>&1); then fail "$what: the other user succeeded"; fi
    [[ $out == *"ermission denied"* ]] || fail "$what: failed otherwise: $out"
    echo "measured: other user, $what: ${out//$'\n'/ }"
}
denied "connect to the close channel" sh -c 'printf x | nc -NU "$1"' sh "$SOCK"
denied "list the runtime directory" ls "$WORK/run"
denied "read the lock" cat "$WORK/run/TAVO_CONTROL_UTILITY.lock"
sleep 1
hi_box >/dev/null && fail "the other user's attempt reached the program"
process_gone "$LP_PID" && fail "the program ended after the other user's attempts"

# The same user's one-liner, as the README gives it.
pc sh -c 'printf x | nc -NU "${XDG_RUNTIME_DIR:-/tmp/linkpanel-$(id -u)}/TAVO_CONTROL_UTILITY.sock"'
until_true 5 '"hi" box' hi_box
echo passed
