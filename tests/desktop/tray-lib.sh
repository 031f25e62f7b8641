# Shared set-up of the tray tests: a work folder, the processes started, and a cleanup that
# stops them in reverse order and shows the logs when the test failed.
WORK=$(mktemp -d "${TMPDIR:-/tmp}/linkpanel-tray-test.XXXXXX")
PIDS=()
cleanup() {
    local status=$? i
    # A function started in the background is a subshell whose child is the real program.
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        pkill -P "${PIDS[i]}" 2>/dev/null || true
        kill "${PIDS[i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [[ $status -ne 0 && $status -ne 77 ]]; then
        for f in "$WORK"/*.log; do [[ -f $f ]] && { echo "---- $f"; tail -n 40 "$f"; }; done
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT
