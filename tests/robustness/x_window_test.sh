#!/usr/bin/env bash
# The real game under an X server of its own (see with_xvfb.sh):
#  - a picture that fails during the strike (missing when the click checks
#    it, or gone when its frame's turn comes) brings up the error message,
#    and Return (or Space on its OK button, or Escape) closes it and ends
#    the game with status 1;
#  - another X client cutting the game's connection (xkill) or destroying
#    its window ends the process; destroying its error message (at start-up
#    or in the middle of a game) ends it with status 1;
#  - a display where no X server answers is named on standard error, and
#    the game ends with status 1.
# Usage: x_window_test.sh <build bin folder> [destroy-window]
set -euo pipefail

bin=$(readlink -f "$1")
destroy=${2:-}
if [ -z "${X_WINDOW_TEST_INNER:-}" ]; then
  exec env X_WINDOW_TEST_INNER=1 "$(dirname "$0")/../window/with_xvfb.sh" "$0" "$@"
fi
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY"; exit 1; }
unset QT_QPA_PLATFORM

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/err" ] && cat "$work/err"; exit 1; }
ok() { echo "ok: $*"; }

# In the sanitizer build a report fails the run whatever the game's status.
# The system's D-Bus library, which the toolkit loads on X, leaks a block of
# its own at exit, and fontconfig's caches are left behind when the toolkit
# ends the program on a broken connection: those are not the game's.
printf 'leak:libdbus-1.so\nleak:libfontconfig.so\n' > "$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# A fresh program folder: the game, the probe and the eighteen pictures.
install() {
  rm -rf "$work/game"
  mkdir "$work/game"
  cp "$bin/suirei" "$bin/suirei-install-probe" "$work/game/"
  local name
  for name in ama amai an1 an2 an3 an4 dai hou houka houke iru ka karu kou kuro kuron sh shou; do
    if [ -f "$bin/$name.bmp" ]; then
      cp "$bin/$name.bmp" "$work/game/"
    else  # a build without the picture tool: stand-ins of the same size
      convert -size 143x119 xc:'rgb(60,120,80)' -type TrueColor "BMP3:$work/game/$name.bmp"
    fi
  done
}

# Waits up to 60 s for the process to end; its status is in $status.
wait_end() {
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then return 1; fi
  status=0; wait "$pid" || status=$?
  pid=
  ! grep -q "Sanitizer\|runtime error:" "$work/err" || fail "a sanitizer report"
}

# The error message, once it is up.
message_window() {
  timeout 60 xdotool search --sync --onlyvisible --name '^翠嶺秘抄$' | head -n 1 || true
}

# ── an error during the strike: the message takes Return ──
error_in_the_strike() {  # label key picture [probe options]
  local label=$1 key=$2 picture=$3 dialog
  shift 3
  install
  [ $# -eq 0 ] && rm "$work/game/$picture"
  (cd "$work" && exec "$work/game/suirei-install-probe" "$picture" "$@") > "$work/out" 2> "$work/err" &
  pid=$!
  dialog=$(message_window)
  [ -n "$dialog" ] || fail "$label: no error message within 60 seconds"
  xdotool windowfocus --sync "$dialog"
  xdotool key "$key"
  wait_end || fail "$label: $key did not close the message and end the game"
  [ "$status" -eq 1 ] || fail "$label: exit status $status, expected 1"
  grep -q "画像ファイル「$picture」を表示できません" "$work/err" || fail "$label: the message does not name $picture"
  ok "$label: the message named $picture, $key ended the game with status 1"
}
error_in_the_strike "an2.bmp missing" Return an2.bmp
error_in_the_strike "iru.bmp missing" space iru.bmp
error_in_the_strike "an4.bmp missing" Escape an4.bmp
error_in_the_strike "an3.bmp gone while the frames play" Return an3.bmp --remove-after-last an3.bmp

# ── the window destroyed from outside ──
window_taken_away() {  # label command...
  local label=$1 win
  shift
  install
  (cd "$work" && exec "$work/game/suirei") > "$work/out" 2> "$work/err" &
  pid=$!
  win=$(timeout 60 xdotool search --sync --onlyvisible --name "翠　嶺　秘　抄" | head -n 1) || true
  [ -n "$win" ] || fail "$label: no game window within 60 seconds"
  "$@" "$win" > /dev/null 2>&1 || fail "$label: $* failed"
  wait_end || fail "$label: the game went on running without its window"
  ok "$label: the game ended (status $status)"
}
window_taken_away "xkill -id" xkill -id
if [ -n "$destroy" ]; then
  window_taken_away "window destroyed by another client" "$destroy"
fi

# ── the error message destroyed from outside ──
message_taken_away() {  # label picture program [args]
  local label=$1 picture=$2 dialog
  shift 2
  install
  rm "$work/game/$picture"
  (cd "$work" && exec "$work/game/$@") > "$work/out" 2> "$work/err" &
  pid=$!
  dialog=$(message_window)
  [ -n "$dialog" ] || fail "$label: no error message within 60 seconds"
  "$destroy" "$dialog" || fail "$label: the message could not be destroyed"
  wait_end || fail "$label: the game went on running without its error message"
  [ "$status" -eq 1 ] || fail "$label: exit status $status, expected 1"
  ok "$label: the game ended with status 1"
}
if [ -n "$destroy" ]; then
  message_taken_away "the message for kuron.bmp destroyed at start-up" kuron.bmp suirei
  message_taken_away "the message for kou.bmp destroyed in the game" kou.bmp suirei-install-probe kou.bmp
fi

# ── no X server on the display ──
nowhere=:$((RANDOM % 1000 + 7000))
while xdpyinfo -display "$nowhere" > /dev/null 2>&1; do nowhere=:$(( ${nowhere#:} + 1 )); done
install
status=0
(cd "$work" && DISPLAY=$nowhere exec "$work/game/suirei") > "$work/out" 2> "$work/err" || status=$?
! grep -q "Sanitizer\|runtime error:" "$work/err" || fail "no X server at $nowhere: a sanitizer report"
[ "$status" -eq 1 ] || fail "no X server at $nowhere: exit status $status, expected 1"
grep -q "X ディスプレイ「$nowhere」に接続できません" "$work/err" || fail "no X server at $nowhere: the message does not name it"
ok "no X server at $nowhere: named on standard error, status 1"
