#!/usr/bin/env bash
# window_test.sh NATIVE-BIN WINDOWS-BUILD: the game's own window, suirei.exe,
# under Wine, driven from outside by suirei-probe.exe (BM_CLICK, SendInput,
# WM_GETTEXT, the window rectangles) as Windows automation tools drive a
# program:
#   - every control at its pixels at 96 DPI, the captions, the title, the tab
#     stops, the accessible names, the first focus;
#   - two routes, the visible buttons and the page after every click equal to
#     the native driver's, byte for byte, the strike's frames in order with
#     the player's clicks and keys dropped while they play;
#   - the keyboard: Tab, Space, Enter, the focus following the story, Alt+F4;
#   - a missing, a cut-short and a far too large picture named in a message
#     box, exit status 1; a Japanese program folder; 終了 and the close box;
#   - every control scaled at 144 DPI;
#   - screenshots in WINDOWS-BUILD/screens/ for the reader.
# wine_test.sh runs it in its Wine prefix, under an X server of its own.
set -uo pipefail
native=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/windows/prefix.sh"
for need in "$build/bin/suirei.exe" "$build/bin/suirei-probe.exe" "$native/suirei-play" "$native/kuron.bmp"; do
  [ -e "$need" ] || { echo "FAIL: $need is missing"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X server (DISPLAY)"; exit 1; }

work=$(mktemp -d "$build/window-test.XXXXXX")
screens=$build/screens
mkdir -p "$screens"
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2> /dev/null; wait "$pid" 2> /dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

failed=0
ok() { echo "ok   $*"; }
bad() { echo "FAIL $*"; failed=1; }
probe() { "$wine" "$build/bin/suirei-probe.exe" "$@"; }
# Wine names a Unix path through its drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# A program folder: the game and the eighteen pictures of PICTURES.
folder() {  # folder pictures
  mkdir -p "$1"
  cp "$build/bin/suirei.exe" "$1/"
  cp "$2"/*.bmp "$1/"
}
# Starts the game of FOLDER from another current directory; sets pid.
start() {  # folder
  (cd "$work" && exec "$wine" "$1/suirei.exe" > "$work/game.out" 2>&1) &
  pid=$!
}
# Waits up to 10 s for the game to end; sets status.
finish() {
  for _ in $(seq 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  local timeout=0 code
  if kill -0 "$pid" 2> /dev/null; then kill "$pid"; timeout=1; fi
  wait "$pid" 2> /dev/null
  code=$?
  if [ $timeout = 1 ]; then status=timeout; else status=$code; fi
  pid=
}

# The play driver's clicks of ROUTE FROM..TO as probe steps: the click, then
# the visible buttons and the page exactly as the driver writes them, then
# the focus wanted ("-" for any).
steps() {  # route from to
  "$native/suirei-play" < "$1" |
    sed -nE 's/^\{"click":"([^"]+)",.*("visible":\[[^]]*\],"text":"([^"\\]|\\.)*").*$/\1\t\2\t-/p' |
    sed -n "$2,$3p"
}
# Plays STEPS in the running game; each must show what it wants.
play() {  # steps-file label
  probe play "$(winpath "$1")" > "$1.seen"
  if cmp -s "$1" "$1.seen"; then
    ok "$2 ($(wc -l < "$1") steps)"
  else
    bad "$2: after $(cmp "$1" "$1.seen" | sed -nE 's/.*line ([0-9]+).*/\1/p') steps the window shows"
    diff <(tr '\t' '\n' < "$1") <(tr '\t' '\n' < "$1.seen") | head -6 | cut -c1-300
  fi
}
# The window's client area, as a PNG at 1:1.
shot() {  # out.png
  local x y w h
  read -r x y < <(probe dump | sed -n 's/^origin //p')
  read -r w h < <(probe dump | sed -n 's/^client //p')
  sleep 0.2
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}

# Pictures of one colour each, for telling the strike's frames apart.
colours=$work/colour-pictures
mkdir -p "$colours"
i=0
for file in "$native"/*.bmp; do
  rgb=$(printf '%02x%02x%02x' $(((i * 53 + 40) % 256)) $(((i * 97 + 80) % 256)) $(((i * 151 + 120) % 256)))
  convert -size 143x119 "xc:#$rgb" -type TrueColor "BMP3:$colours/${file##*/}"
  echo "${file##*/} $rgb" >> "$colours/colours.txt"
  i=$((i + 1))
done
route=$here/tests/routes

echo "== the window at 96 DPI"
game=$work/game
folder "$game" "$native"
start "$game"
probe dump > "$work/dump.txt" || bad "no window to read"
if [ "$(sed -n '1,2p;5p' "$work/dump.txt")" = "title 翠　嶺　秘　抄　～古代歴史ロマン～
client 477 284
focus Command9" ]; then
  ok "the title, the client area of 477 × 284, the focus on 続きを読む"
else
  bad "the window: $(sed -n '1,5p' "$work/dump.txt" | tr '\n' ' ')"
fi
# x y width height, the captions and what is shown at start-up.
layout='P1 shown notab 8 0 145 121 "場面"
Static shown notab 8 128 0 0 "本文"
T1 shown notab 8 128 449 153
Command1 hidden tab 160 8 81 25 "話す"
Command2 hidden tab 160 40 81 25 "相手が話す"
Command3 hidden tab 160 72 81 25 "移動"
Command4 hidden tab 248 8 105 25 "板葺宮"
Command5 hidden tab 248 48 105 25 "法興寺"
Command6 hidden tab 248 88 105 25 "南淵請安宅"
Command7 hidden tab 360 8 105 25 "甘橿の丘"
Command8 hidden tab 360 48 105 25 "軽皇子宅"
Command9 shown tab 160 96 81 25 "続きを読む"
Command10 hidden tab 360 88 33 25 "1"
Command11 hidden tab 400 88 33 25 "2"
Command12 shown tab 440 88 33 25 "終了"'
# T1's text is the page; the label before it gives its name.
seen=$(sed -n 's/^control //p' "$work/dump.txt" | sed -E 's/^(T1 [a-z]+ [a-z]+ [0-9 ]+[0-9]) .*/\1/')
if [ "$seen" = "$layout" ]; then
  ok "every control at its place, in tab order, named, with its caption; only 続きを読む and 終了 shown"
else
  bad "the controls:"; diff <(echo "$layout") <(echo "$seen")
fi

echo "== the main route, screenshots on the way"
steps "$route/main.txt" 1 70 > "$work/main-a"
play "$work/main-a" "main route, clicks 1 to 70"
shot "$screens/win32-page.png"
steps "$route/main.txt" 71 143 > "$work/main-b"
play "$work/main-b" "main route, clicks 71 to 143"
shot "$screens/win32.png"
# P1: the scene picture pixel for pixel inside a one-pixel frame.
shown=$("$native/suirei-play" < "$route/main.txt" | sed -n '144s/.*"picture":"\([^"]*\)".*/\1/p')
convert "$screens/win32.png" -crop 143x119+9+1 +repage "$work/p1.png"
if [ "$(compare -metric AE "$work/p1.png" "$native/$shown" null: 2>&1)" = 0 ] &&
   [ "$(convert "$screens/win32.png" -crop 145x1+8+0 -format '%k %[pixel:p{0,0}]' info:)" = "1 srgb(0,0,0)" ]; then
  ok "P1 shows $shown pixel for pixel, framed by a line in the window-text colour"
else
  bad "P1 does not show $shown as it is"
fi
probe close
finish
[ "$status" = 0 ] && ok "the close box ends the game, status 0" || bad "after the close box: status $status"
for picture in "$screens/win32.png" "$screens/win32-page.png"; do
  [ "$(identify -format '%wx%h' "$picture" 2> /dev/null)" = 477x284 ] || bad "$picture is not 477 × 284"
done

echo "== the main route and the strike at Iruka"
game=$work/colours
folder "$game" "$colours"
start "$game"
strike=$("$native/suirei-play" < "$route/main.txt" | grep -n '"frames":\["an1.bmp"' | cut -d: -f1)
strike=$((strike - 1))   # the driver's first line is start-up
steps "$route/main.txt" 1 $((strike - 1)) > "$work/main-c"
play "$work/main-c" "main route, clicks 1 to $((strike - 1))"
probe strike "$(winpath "$colours/colours.txt")" > "$work/strike.txt"
frames=$(sed -n 's/^frames //p' "$work/strike.txt" | sed -E 's/@[0-9]+//g')
if [ "$frames" = "an1.bmp an2.bmp an3.bmp an4.bmp iru.bmp" ]; then
  ok "the strike: $(sed -n 's/^frames //p' "$work/strike.txt") (ms after the click)"
else
  bad "the strike showed: $(head -1 "$work/strike.txt")"
fi
after=$(steps "$route/main.txt" "$strike" "$strike" | cut -f2)
if [ "state $after" = "$(sed -n 2p "$work/strike.txt")" ]; then
  ok "終了 clicked, Space and Enter typed and BM_CLICK sent during the strike: all dropped"
else
  bad "after the strike and the input during it: $(sed -n 2p "$work/strike.txt" | cut -c1-200)"
fi
{ steps "$route/main.txt" $((strike + 1)) 1000; printf 'Command12\tgone\t-\n'; } > "$work/main-d"
play "$work/main-d" "main route to its end, then 終了"
finish
[ "$status" = 0 ] && ok "終了 ends the game, status 0" || bad "after 終了: status $status"

echo "== the banquet route"
game=$work/game
start "$game"
steps "$route/banquet.txt" 1 1000 > "$work/banquet"
# On the last page only 終了 is left, and the focus falls to it.
sed -i '$ s/-$/Command12/' "$work/banquet"
play "$work/banquet" "banquet route, the focus on 終了 at its end"
probe close
finish

echo "== the keyboard"
start "$game"
s=$(steps "$route/main.txt" 1 9 | cut -f2)
state() { sed -n "$1p" <<< "$s"; }
printf '%s\n' \
  "key:Space	$(state 1)	Command9" \
  "key:Tab	$(state 1)	Command12" \
  "key:Tab	$(state 1)	Command9" \
  "mouse:T1	$(state 1)	T1" \
  "key:Tab	$(state 1)	Command9" \
  "key:Return	$(state 2)	Command9" \
  "key:Return	$(state 3)	Command9" \
  "key:Space	$(state 4)	Command1" \
  "key:Space	$(state 5)	Command2" \
  "key:Space	$(state 6)	Command1" \
  "key:Space	$(state 7)	Command10" \
  "key:Alt+F4	gone	-" > "$work/keys"
play "$work/keys" "Space and Enter press, Tab skips the page and leaves it, the focus follows the story, Alt+F4 closes"
finish
[ "$status" = 0 ] && ok "Alt+F4 ends the game, status 0" || bad "after Alt+F4: status $status"

echo "== pictures that cannot be shown"
# When the first click that reads kou.bmp comes.
kou=$("$native/suirei-play" < "$route/main.txt" | grep -n '"frames":\["kou.bmp"' | head -1 | cut -d: -f1)
kou=$((kou - 1))
refused() {  # label picture problem [prepare...]
  local label=$1 picture=$2 problem=$3
  shift 3
  rm -rf "$work/broken"
  folder "$work/broken" "$native"
  "$@"
  start "$work/broken"
  if [ "$picture" != kuron.bmp ]; then
    { steps "$route/main.txt" 1 $((kou - 1)); steps "$route/main.txt" "$kou" "$kou" | sed 's/^/post:/; s/\t.*/\t-\t-/'; } > "$work/to-kou"
    probe play "$(winpath "$work/to-kou")" > /dev/null
  fi
  probe dialog > "$work/dialog.txt"
  finish
  local text
  text=$(sed -n 's/^text //p' "$work/dialog.txt")
  if grep -qx 'title 翠嶺秘抄' "$work/dialog.txt" && [[ $text == *"「$picture」"*"$problem"* ]] && [ "$status" = 1 ]; then
    ok "$label: a message box names $picture (${text:0:60}…), status 1"
  else
    bad "$label: status $status, the message box: $(tr '\n' ' ' < "$work/dialog.txt")"
  fi
  if [ "$picture" = kuron.bmp ]; then
    grep -qx 'window not shown' "$work/dialog.txt" && ok "$label: no window shown" || bad "$label: a window was shown"
  fi
}
refused "kuron.bmp missing at start-up" kuron.bmp "ファイルが見つかりません" rm "$work/broken/kuron.bmp"
refused "kou.bmp cut short" kou.bmp "ファイルが途中で切れています" truncate -s 30000 "$work/broken/kou.bmp"
refused "kou.bmp far too large" kou.bmp "ファイルが大きすぎます" truncate -s 64G "$work/broken/kou.bmp"

echo "== a Japanese program folder"
japanese="$work/翠嶺秘抄 テスト/ゲーム"
folder "$japanese" "$native"
start "$japanese"
probe dump > "$work/dump.txt"
if grep -q '^control T1 .*"時は七世紀' "$work/dump.txt" && grep -q '^control Command9 shown' "$work/dump.txt"; then
  ok "started from another folder, it finds its pictures in 翠嶺秘抄 テスト\\ゲーム"
else
  bad "in a Japanese folder: $(cat "$work/game.out")"
fi
probe close
finish

echo "== the window at 144 DPI"
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f > /dev/null 2>&1
"$wineserver" -k; "$wineserver" -w
start "$work/game"
probe dump > "$work/dump.txt"
scaled=$(awk '
  function s(v) { return int((v * 144 + 48) / 96) }   # rounded half up
  { printf "%s %s %s %d %d %d %d\n", $1, $2, $3, s($4), s($5), s($4 + $6) - s($4), s($5 + $7) - s($5) }' \
  <<< "$(sed -E 's/ "[^"]*"$//' <<< "$layout")")
seen=$(sed -n 's/^control //p' "$work/dump.txt" | sed -E 's/^([A-Za-z0-9]+ [a-z]+ [a-z]+ [0-9]+ [0-9]+ [0-9]+ [0-9]+) .*/\1/')
if grep -qx 'dpi 144' "$work/dump.txt" && grep -qx 'client 716 426' "$work/dump.txt" && [ "$seen" = "$scaled" ]; then
  ok "at 144 DPI the window is 716 × 426 and every control half as large again"
else
  bad "at 144 DPI: $(grep -E '^(dpi|client)' "$work/dump.txt" | tr '\n' ' ')"; diff <(echo "$scaled") <(echo "$seen")
fi
steps "$route/main.txt" 1 70 > "$work/main-144"
play "$work/main-144" "main route at 144 DPI, clicks 1 to 70"
shot "$screens/win32-144dpi.png"
probe close
finish

# The Qt window and the page at the same scene, when the browser tests have
# taken them (build-web/screenshots/, main route, 143 clicks).
shots=$here/build-web/screenshots
[ ! -e "$shots/qt.png" ] || cp "$shots/qt.png" "$screens/qt.png"
[ ! -e "$shots/page.png" ] || cp "$shots/page.png" "$screens/web.png"
echo "screenshots: $screens/"
exit $failed
