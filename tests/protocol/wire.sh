#!/usr/bin/env bash
# Runs the wire test in the PC namespace of a bed of its own, router-sim in the router's.
set -u
sim=$1 bed=$2 test=$3
name=lpw$$
"$bed" up "$name" || exit $?
dir=$(mktemp -d)
simpid=
cleanup() {
    [[ -n $simpid ]] && kill "$simpid" 2>/dev/null
    "$bed" down "$name"
    rm -rf "$dir"
}
trap cleanup EXIT
mkfifo "$dir/ctl"
exec 3<>"$dir/ctl"  # keeps the pipe open, so the simulator never sees its end
"$bed" exec "$name" rt "$sim" --address 192.168.2.1 <"$dir/ctl" >"$dir/log" 2>&1 &
simpid=$!
for _ in $(seq 50); do grep -q . "$dir/log" 2>/dev/null && break; sleep 0.02; done
sleep 0.1
LP_SIM_LOG=$dir/log LP_SIM_CTL=$dir/ctl "$bed" exec "$name" pc "$test"
rc=$?
[[ $rc -ne 0 ]] && cat "$dir/log" >&2
exit $rc
