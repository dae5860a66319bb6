#!/usr/bin/env bash
# compare.sh NATIVE -- CMD [ARGS...]: replays every route file in this folder
# through the native play driver and through CMD (another build of the driver:
# the Windows one under Wine, the browser one under node), and compares what
# they write byte for byte. One line per route; exits 1 on any difference.
set -uo pipefail
if [ $# -lt 3 ] || [ "$2" != "--" ]; then
  echo "usage: compare.sh NATIVE -- CMD [ARGS...]" >&2; exit 2
fi
native=$1; shift 2
routes=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
for route in "$routes"/*.txt; do
  name=$(basename "$route" .txt)
  [ "$name" = CMakeLists ] && continue
  "$native" < "$route" > "$work/native"
  status=$?
  if [ $status -ne 0 ]; then
    echo "FAIL $name: the native driver exited with status $status"; failed=1; continue
  fi
  "$@" < "$route" > "$work/other" 2> "$work/stderr"
  status=$?
  if [ $status -eq 0 ] && cmp -s "$work/native" "$work/other"; then
    echo "ok   $name ($(wc -l < "$work/native") lines)"
    continue
  fi
  failed=1
  if [ $status -ne 0 ]; then
    echo "FAIL $name: $1 exited with status $status: $(head -c 300 "$work/stderr")"
    continue
  fi
  # Where they part: the line, and some sixty bytes either side of the first
  # differing byte, with CR and LF shown (a CR LF line end is the usual suspect).
  diff=$(cmp "$work/native" "$work/other" 2>&1)
  line=$(sed -nE 's/.*line ([0-9]+).*/\1/p' <<<"$diff")
  byte=$(sed -nE 's/.*byte ([0-9]+).*/\1/p' <<<"$diff")
  case $diff in *EOF*) line=$((line + 1)); byte=$((byte + 1)) ;; esac  # one is the other cut short
  start=$(( byte > 60 ? byte - 60 : 1 ))
  around() { tail -c +"$start" "$1" | head -c 120 | iconv -f UTF-8 -t UTF-8 -c | sed -z 's/\r/\\r/g; s/\n/\\n/g'; }
  echo "FAIL $name: line $line differs (byte $byte)"
  echo "  native: …$(around "$work/native")…"
  echo "  other:  …$(around "$work/other")…"
done
exit $failed
