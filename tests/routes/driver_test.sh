#!/usr/bin/env bash
# driver_test.sh PLAYER [ARGS...]: what the play driver does with input a route file
# should never hold, and with an output it cannot write. The route replays
# trust it to refuse hidden and unknown buttons, so that is checked first.
# The story checker beside the player (suirei-check, suirei-check.exe) must
# not lose its output quietly either.
set -uo pipefail
player=("$@")
checker=("$@")
checker[-1]=$(dirname "${player[-1]}")/suirei-check${player[-1]##*suirei-play}
python=/usr/bin/python3; [ -x "$python" ] || python=python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failed=1; fi
}
# Every line of the file is one JSON object, in valid UTF-8.
all_json() {
  "$python" -c 'import json, sys
for line in open(sys.argv[1], encoding="utf-8", errors="strict"):
    json.loads(line)' "$1" 2> "$work/why" || { cat "$work/why"; return 1; }
}

# On the opening page only 続きを読む (Command9) and 終了 are shown. Refused
# lines print an error each and change nothing: without them, the same click
# gives the same page.
printf 'Command9\n' | "${player[@]}" > "$work/plain"
printf 'Command1\n話す\nCommand13\ncommand9\n\n# a comment\nCommand9\n' | "${player[@]}" > "$work/refused"
check "a hidden button by name and by caption is refused" \
  test "$(grep -c '^{"error":"Command1 (話す) is not visible at state 1"}$' "$work/refused")" = 2
check "an unknown name is refused, names must match exactly" \
  test "$(grep -cE '^\{"error":"no such button: \\"(Command13|command9)\\"' "$work/refused")" = 2
check "refused lines leave the story as it was" \
  cmp -s "$work/plain" <(grep -v '^{"error"' "$work/refused")
check "four refusals, then the click" test "$(grep -c '^{"error"' "$work/refused")" = 4

# Bytes that are not UTF-8 are echoed as U+FFFD, so the line stays JSON:
# a stray byte, a sequence cut short, an encoded surrogate, an overlong '/'.
printf '\xff\n\xe3\x81\n\xed\xa0\x80\n\xc0\xaf\n話\xe3す\n' | "${player[@]}" > "$work/bytes"
check "input that is not UTF-8 gives valid JSON" all_json "$work/bytes"
check "each stray byte shows as U+FFFD" grep -q '"no such button: \\"話�す\\"' "$work/bytes"
check "five errors for five bad lines" test "$(grep -c '^{"error"' "$work/bytes")" = 5

# A byte-order mark before the first line, and CR LF line ends, as editors on
# Windows write them.
printf '\xef\xbb\xbfCommand9\r\n続きを読む\r\n' | "${player[@]}" > "$work/bom"
check "a byte-order mark and CR LF line ends are read past" \
  test "$(grep -c '"click":"Command9"' "$work/bom")" = 2 -a "$(grep -c error "$work/bom")" = 0

# A write that fails and an input that cannot be read are errors, named on
# standard error with status 1, never a quiet success.
if [ -w /dev/full ]; then
  printf 'Command9\n' | "${player[@]}" > /dev/full 2> "$work/err"
  check "a full disk: status 1" test $? = 1
  check "a full disk: the message says so" grep -q '^suirei-play: cannot write standard output: ' "$work/err"
  for run in "" --screenplay; do
    "${checker[@]}" $run > /dev/full 2> "$work/err"
    check "a full disk: suirei-check ${run:-with its report} says so with status 1" \
      test $? = 1 -a "$(tr -d '\r' < "$work/err" | grep -c '^suirei-check: cannot write standard output: ')" = 1
  done
fi
"${player[@]}" < "$(dirname "$0")" > /dev/null 2> "$work/err"
check "a folder as input: status 1" test $? = 1
check "a folder as input: the message says so" grep -q '^suirei-play: cannot read standard input: ' "$work/err"
exit $failed
