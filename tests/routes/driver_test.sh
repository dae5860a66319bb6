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
# a stray byte, a sequence cut short, an encoded surrogate, an overlong '/',
# overlong three- and four-byte forms, and a code point past U+10FFFF.
printf '\xff\n\xe3\x81\n\xed\xa0\x80\n\xc0\xaf\n話\xe3す\n\xe0\x80\xaf\n\xf0\x80\x80\xaf\n\xf4\x90\x80\x80\n' |
  "${player[@]}" > "$work/bytes"
check "input that is not UTF-8 gives valid JSON" all_json "$work/bytes"
check "each stray byte shows as U+FFFD" grep -q '"no such button: \\"話�す\\"' "$work/bytes"
check "overlong forms and code points past U+10FFFF show as U+FFFD, one a byte" \
  test "$(tail -n 3 "$work/bytes" | sed -E 's/^\{"error":"no such button: \\"(.*)\\" \(use .*/\1/')" = $'���\n����\n����'
check "eight errors for eight bad lines" test "$(grep -c '^{"error"' "$work/bytes")" = 8

# Every control byte inside a line (LF ends one) comes back as itself, in
# valid JSON.
for byte in $(seq 1 31) 127; do printf "x\\x$(printf %02x "$byte")y\n"; done | "${player[@]}" > "$work/controls"
check "control bytes are echoed in valid JSON" "$python" -c 'import json, sys
got = [json.loads(line)["error"].split("\"")[1] for line in list(open(sys.argv[1], encoding="utf-8"))[1:]]
want = [w for b in list(range(1, 32)) + [127] for w in (["x", "y"] if b == 10 else ["x%cy" % b])]
sys.exit(got != want)' "$work/controls"

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
