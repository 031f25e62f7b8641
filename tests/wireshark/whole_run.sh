#!/usr/bin/env bash
# whole_run.sh CAPTURE: the dissector over a capture of a whole run of the monitor against
# the simulator: every kind of datagram the run must have carried is there, decoded into its
# fields, and none of them is flagged as malformed.
set -euo pipefail
capture=$1
dissector=${DISSECTOR:-$(dirname "$0")/../../tools/wireshark/linkpanel.lua}
fields=$(tshark -n -X lua_script:"$dissector" -r "$capture" -Y linkpanel -T fields -E separator='|' \
    -e linkpanel.kind -e linkpanel.opcode -e linkpanel.magic -e linkpanel.ssid -e linkpanel.channel \
    -e linkpanel.name -e linkpanel.wan -e linkpanel.password -e linkpanel.status \
    -e linkpanel.reboot -e _ws.expert.severity 2>/dev/null)
[[ -n $fields ]] || { echo "FAIL: no datagram of ours decoded in $capture"; exit 1; }

# kind|opcode|magic|ssid|channel|name|wan|password|status|reboot|severity
expect() {
    local what=$1 pattern=$2
    grep -qE "^$pattern\$" <<<"$fields" || { echo "FAIL: no $what in the capture"; exit 1; }
}
expect "discovery request" '1\|0x01\|ROLVARNS\|{8}'
expect "discovery reply" '2\|0x01\|TAVOTAVO\|{8}'
expect "information request" '1\|0x29\|{9}'
expect "information reply" '2\|0x33\|\|wireless\|6\|Wavecastor\|ip\|{4}'
expect "information reply after the change" '2\|0x33\|\|newnet\|11\|Wavecastor\|ppp\|{4}'
expect "settings request" '1\|0x2a\|{9}'
expect "settings reply" '2\|0x34\|{6}admin\|{3}'
expect "status request" '1\|0x2b\|{9}'
expect "PASS status" '2\|0x35\|{7}PASS\|{2}'
expect "FAIL status" '2\|0x35\|{7}FAIL\|{2}'
expect "set command" '3\|0x1f\|\|newnet\|11\|\|\|admin\|{3}'
expect "reboot text" '\|{9}kopanirsuvetha5273zugmal468135\|'
flagged=$(awk -F'|' '$11 != ""' <<<"$fields" | head -n 3)
[[ -z $flagged ]] || { echo "FAIL: datagrams flagged as malformed: $flagged"; exit 1; }
echo "measured: $(wc -l <<<"$fields") datagrams decoded, none flagged"
