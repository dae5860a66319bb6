#!/usr/bin/env bash
# The real game under Xvfb: started from another folder (so it must find its
# pictures in its own), clicked with xdotool like a player, and inspected by
# the colour of the button rectangles in screenshots.
set -euo pipefail

game=$(readlink -f "$1")
if [ -z "${XVFB_INNER:-}" ]; then
  # An X server of its own, up and answering before the game starts.
  exec env XVFB_INNER=1 "$(dirname "$0")/with_xvfb.sh" "$0" "$game"
fi

work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"   # not the program's folder

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY"; exit 1; }
start=$(date +%s%N)
"$game" > "$work/out.txt" 2>&1 &
pid=$!
win=$(timeout 60 xdotool search --sync --onlyvisible --name "翠　嶺　秘　抄" | head -n 1) || true
[ -n "$win" ] || { echo "FAIL: no game window within 60 seconds"; cat "$work/out.txt"; exit 1; }
shown=$(date +%s%N)
echo "window shown after $(( (shown - start) / 1000000 )) ms"

eval "$(xdotool getwindowgeometry --shell "$win")"   # X, Y of the client area
shot() { sleep 0.5; import -window root "$work/shot.png"; }
colour() {  # colour at the centre of a rectangle of the client area
  convert "$work/shot.png" -format "%[pixel:p{$((X + $1 + $3 / 2)),$((Y + $2 + $4 / 2))}]" info:
}
salmon=$(convert xc:"rgb(255,128,128)" -format "%[pixel:p{0,0}]" info:)

check() {  # name x y w h expected(drawn|hidden)
  local c; c=$(colour "$2" "$3" "$4" "$5")
  if [ "$6" = hidden ] && [ "$c" != "$salmon" ]; then echo "FAIL: $1 should be hidden, found $c"; exit 1; fi
  if [ "$6" = drawn ] && [ "$c" = "$salmon" ]; then echo "FAIL: $1 should be drawn, found the background"; exit 1; fi
  echo "ok: $1 $6"
}

shot
check 話す       160 8  81 25 hidden
check 相手が話す 160 40 81 25 hidden
check 移動       160 72 81 25 hidden
check 板葺宮     248 8 105 25 hidden
check 続きを読む 160 96 81 25 drawn
check 1          360 88 33 25 hidden
check 終了       440 88 33 25 drawn
check P1           8  0 145 121 drawn
cp "$work/shot.png" "$work/before.png"

xdotool mousemove --window "$win" 200 108 click 1   # 続きを読む
shot
check 続きを読む 160 96 81 25 drawn
if cmp -s <(convert "$work/before.png" -crop 449x153+$((X + 8))+$((Y + 128)) rgb:-) \
          <(convert "$work/shot.png" -crop 449x153+$((X + 8))+$((Y + 128)) rgb:-); then
  echo "FAIL: the page did not change after 続きを読む"; exit 1
fi
echo "ok: the page turned"

xdotool mousemove --window "$win" 456 100 click 1   # 終了
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: 終了 did not end the game"; exit 1; fi
status=0; wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; cat "$work/out.txt"; exit 1; }
echo "ok: 終了 ended the game with status 0"
