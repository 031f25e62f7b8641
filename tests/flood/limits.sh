#!/usr/bin/env bash
# The flood tool's own guards and promises: it refuses what it must not do (outside a test
# bed, past its rate and time bounds), the same seed replays the same datagrams, a quarter
# are dressed as replies, and --spare-opcode leaves that reply kind out. Expects FLOOD, BED.
set -euo pipefail
[[ $(id -u) -eq 0 ]] || { echo "needs root for network namespaces: skipped"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
in_bed() { "$BED" loopback "$FLOOD" "$@"; }

# Outside a private namespace nothing is sent, whatever the arguments.
if out=$("$FLOOD" --to 127.0.0.1:9 --rate 1 --seconds 0.01 --max-len 1 2>&1); then
    fail "ran in this namespace: $out"
fi
grep -q "refusing" <<<"$out" || fail "no refusal in: $out"

# Arguments refused with status 2 before anything is sent.
while read -r args; do
    set +e
    out=$(in_bed $args 2>&1)
    status=$?
    set -e
    [[ $status -eq 2 ]] || fail "flood $args: status $status, expected 2 ($out)"
    grep -q '^sent ' <<<"$out" && fail "flood $args sent: $out"
done <<'EOF'
--to 127.0.0.1:9 --rate 200001 --seconds 1 --max-len 8
--to 127.0.0.1:9 --rate 0 --seconds 1 --max-len 8
--to 127.0.0.1:9 --rate 10 --seconds 61 --max-len 8
--to 127.0.0.1:9 --rate 10 --seconds 0 --max-len 8
--to 127.0.0.1:9 --rate 10 --seconds 1 --max-len 65508
--to 127.0.0.1:9 --rate 10 --seconds 1
--rate 10 --seconds 1 --max-len 8
--to 127.0.0.1 --rate 10 --seconds 1 --max-len 8
--to 127.0.0.1:70000 --rate 10 --seconds 1 --max-len 8
--to 127.0.0.1:9 --once 0a0
EOF

# The largest bounds are taken (briefly), and pacing holds: 2,000 at 4,000/s take 0.5 s.
out=$(in_bed --to 127.0.0.1:9 --rate 200000 --seconds 0.01 --max-len 65507 2>/dev/null)
[[ $out == "sent 2000 in "* ]] || fail "at the bounds: $out"
out=$(in_bed --to 127.0.0.1:9 --rate 4000 --seconds 0.5 --max-len 16 2>/dev/null)
took=$(awk '/^sent 2000 in / { print $4 }' <<<"$out")
[[ -n $took ]] || fail "paced run: $out"
awk -v t="$took" 'BEGIN { exit !(t >= 0.45 && t < 2) }' || fail "2000 at 4000/s took $took s"

# Same seed, same datagrams; another seed, others. Dressed ones start with 127.0.0.1
# reversed, 01 00 00 7f, and one in four is dressed.
# (Only the datagram lines: the summary carries the time taken.)
dump() { in_bed --to 127.0.0.1:9 --rate 200000 --seconds 0.2 --max-len 64 --hex "$@" 2>/dev/null | grep -v "^sent "; }
a=$(dump --seed 11) b=$(dump --seed 11) c=$(dump --seed 12)
[[ $a == "$b" ]] || fail "seed 11 gave two different sequences"
[[ $a != "$c" ]] || fail "seeds 11 and 12 gave the same sequence"
read -r dressed status < <(awk 'NF == 3 && length($3) >= 12 && substr($3, 1, 8) == "0100007f" {
    d++; if (substr($3, 11, 2) == "35") s++ } END { print d + 0, s + 0 }' <<<"$a")
total=$(awk 'NF == 3 && length($3) >= 12' <<<"$a" | wc -l)
awk -v d="$dressed" -v t="$total" 'BEGIN { exit !(d > t * 0.2 && d < t * 0.3) }' ||
    fail "$dressed of $total datagrams of 6 bytes or more dressed, expected about a quarter"
((status > 0)) || fail "no dressed status reply in $dressed"
spared=$(dump --seed 11 --spare-opcode 0x35 | awk 'NF == 3 && substr($3, 1, 8) == "0100007f" &&
    substr($3, 11, 2) == "35"' | wc -l)
((spared == 0)) || fail "$spared dressed status replies despite --spare-opcode 0x35"

echo "passed: $dressed of $total dressed, $status of them as status replies"
