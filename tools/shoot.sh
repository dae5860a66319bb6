#!/usr/bin/env bash
# shoot.sh GAME ROUTE OUT.png [CLICKS]
# Starts the real game under Xvfb, clicks the first CLICKS buttons of a route
# file (all of them by default) with xdotool, as a player would, and saves a
# screenshot of the window. For looking at scenes without playing to them.
# SHOOT_DELAY (seconds, default 0.5) is how long to wait before the shot:
# with a "2" at 230 as the last click, 0.3 catches the strike at Iruka in the
# middle of its frames.
set -euo pipefail
game=$(readlink -f "$1"); route=$(readlink -f "$2"); out=$(readlink -m "$3"); count=${4:-100000}
if [ -z "${SHOOT_INNER:-}" ]; then
  exec env SHOOT_INNER=1 xvfb-run -a -s "-screen 0 640x400x24" "$0" "$game" "$route" "$out" "$count"
fi
"$game" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
win=$(timeout 20 xdotool search --sync --onlyvisible --name "翠　嶺　秘　抄" | head -n 1)
declare -A at=(
  [話す]="200 20" [Command1]="200 20" [相手が話す]="200 52" [Command2]="200 52"
  [移動]="200 80" [Command3]="200 80" [板葺宮]="300 20" [Command4]="300 20"
  [法興寺]="300 60" [Command5]="300 60" [南淵請安宅]="300 100" [Command6]="300 100"
  [甘橿の丘]="412 20" [Command7]="412 20" [軽皇子宅]="412 60" [Command8]="412 60"
  [続きを読む]="200 112" [Command9]="200 112" [1]="376 100" [Command10]="376 100"
  [2]="416 100" [Command11]="416 100")
n=0
strike=0
while IFS= read -r line; do
  word=$(echo "$line" | sed -e 's/#.*//' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//')
  [ -n "$word" ] || continue
  [ "$n" -lt "$count" ] || break
  xy=${at[$word]:-}
  [ -n "$xy" ] || { echo "shoot.sh: no button called $word" >&2; exit 2; }
  # The game drops clicks while the strike at Iruka plays after a "2", so
  # the next click waits it out (800 ms of frames).
  [ "$strike" -eq 0 ] || sleep 1.2
  # shellcheck disable=SC2086
  xdotool mousemove --window "$win" $xy click 1
  n=$((n + 1))
  case $word in 2|Command11) strike=1 ;; *) strike=0; sleep 0.05 ;; esac
done < "$route"
sleep "${SHOOT_DELAY:-0.5}"
import -window "$win" "$out"
echo "$out after $n clicks"
