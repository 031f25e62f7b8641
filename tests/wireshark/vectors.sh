#!/usr/bin/env bash
# The dissector against a capture of known datagrams: every request and reply decoded into
# its named fields, and malformed datagrams flagged instead of mis-decoded.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dissector=${DISSECTOR:-$here/../../tools/wireshark/linkpanel.lua}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hex() { printf '%s' "$1" | od -An -tx1 -v | tr -s ' \n' ' '; }
zeros() { local i; for ((i = 0; i < $1; i++)); do printf '00 '; done; }
packet() { printf '0000 %s\n' "$*" >>"$work/dump.txt"; }

packet 00 00 00 00 01 01 08 00 "$(hex ROLVARNS)"                                    # 1 discover
packet 01 02 a8 c0 01 29 00 00                                                    # 2 get info
packet 01 02 a8 c0 01 2a 00 00                                                    # 3 get settings
packet 01 02 a8 c0 01 2b 00 00                                                    # 4 get status
packet 01 02 a8 c0 03 1f 32 00 "$(hex abc)" "$(zeros 13)" "$(hex wireless)" "$(zeros 25)" 06  # 5 set
packet "$(hex kopanirsuvetha5273zugmal468135)"                                     # 6 reboot
packet 0a 02 a8 c0 02 01 08 00 "$(hex TAVOTAVO)"                                    # 7 found
packet 0a 02 a8 c0 02 33 00 00 "$(hex wireless)" "$(zeros 25)" 06 01 "$(hex Home)" "$(zeros 28)" "$(hex ppp)" 00  # 8 info
packet 0a 02 a8 c0 02 34 00 00 "$(hex admin)" 00                                    # 9 settings
packet 0a 02 a8 c0 02 35 00 00 "$(hex PASS)"                                        # 10 status
packet 0a 02 a8 c0 02                                                             # 11 short
packet 0a 02 a8 c0 02 35 00 00 "$(hex PA)"                                          # 12 cut status
packet 0a 02 a8 c0 02 01 08 00 "$(hex tavotavo)"                                    # 13 bad magic
packet 0a 02 a8 c0 02 33 00 00 "$(hex wireless)"                                    # 14 cut info
packet 0a 02 a8 c0 02 33 00 00 "$(printf '53 %.0s' {1..33})" 0b 02 "$(printf '4e %.0s' {1..32})" "$(hex dhcp)"  # 15 unterminated
packet 0a 02 a8 c0 07 99 00 00                                                    # 16 unknown

text2pcap -q -4 192.168.2.10,234.2.3.4 -u 41000,7000 "$work/dump.txt" "$work/vectors.pcap"
tshark -n -X lua_script:"$dissector" -r "$work/vectors.pcap" -T fields -E separator='|' \
    -e frame.number -e linkpanel.addressee -e linkpanel.kind -e linkpanel.opcode \
    -e linkpanel.length -e linkpanel.magic -e linkpanel.ssid -e linkpanel.channel -e linkpanel.wep \
    -e linkpanel.name -e linkpanel.wan -e linkpanel.password -e linkpanel.status \
    -e linkpanel.reboot -e _ws.expert.severity 2>/dev/null >"$work/out.txt"

cat >"$work/expected.txt" <<'TXT'
1|0.0.0.0|1|0x01|8|ROLVARNS|||||||||
2|192.168.2.1|1|0x29|0||||||||||
3|192.168.2.1|1|0x2a|0||||||||||
4|192.168.2.1|1|0x2b|0||||||||||
5|192.168.2.1|3|0x1f|50||wireless|6||||abc|||
6|||||||||||||kopanirsuvetha5273zugmal468135|
7|192.168.2.10|2|0x01|8|TAVOTAVO|||||||||
8|192.168.2.10|2|0x33|0||wireless|6|1|Home|ppp||||
9|192.168.2.10|2|0x34|0|||||||admin|||
10|192.168.2.10|2|0x35|0||||||||PASS||
11||||||||||||||8388608
12|192.168.2.10|2|0x35|0||||||||||8388608
13|192.168.2.10|2|0x01|8|tavotavo|||||||||8388608
14|192.168.2.10|2|0x33|0||||||||||8388608
15|192.168.2.10|2|0x33|0||SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS|11|2|NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN|dhcp||||6291456,6291456,6291456
16|192.168.2.10|7|0x99|0||||||||||6291456
TXT
if ! diff -u "$work/expected.txt" "$work/out.txt"; then
    echo "FAIL: dissector output differs"
    exit 1
fi
echo "passed: $(wc -l <"$work/out.txt") datagrams"
