#!/usr/bin/env bash
# replay.sh PLAYER ROUTE FINAL-STATE: plays a route file through the play
# driver; fails on any refused click or if the story ends elsewhere.
set -euo pipefail
out=$("$1" < "$2")
if grep -n '"error"' <<<"$out"; then
  echo "FAIL: $2 has clicks the game refused (line numbers count output objects)"; exit 1
fi
last=$(tail -n 1 <<<"$out")
state=$(sed -E 's/.*"state":([0-9]+).*/\1/' <<<"$last")
if [ "$state" != "$3" ]; then
  echo "FAIL: $2 ends at state $state, not $3"; echo "$last"; exit 1
fi
echo "ok: $(wc -l <<<"$out") pages, ends at $state"
