#!/usr/bin/env bash
# Runs a command under an X server of its own, so that no test depends on
# another's server or on a display number guessed free: Xvfb picks a free
# number itself (-displayfd), and the command starts only once the server
# answers. DISPLAY is exported to the command and everything it starts.
# Usage: with_xvfb.sh command [args...]
set -uo pipefail

dir=$(mktemp -d)
xvfb=
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# -noreset: by default the server resets whenever its last client leaves, and
# refuses connections meanwhile; the check below would leave it doing so.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3> "$dir/display" 2> "$dir/xvfb.log" &
xvfb=$!
# A busy machine may take its time: up to a minute for the server to come up.
for _ in $(seq 600); do
  [ -s "$dir/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$dir/xvfb.log" >&2; echo "with_xvfb: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
number=$(head -n 1 "$dir/display")
[ -n "$number" ] || { cat "$dir/xvfb.log" >&2; echo "with_xvfb: Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$number"
answered=
for _ in $(seq 600); do
  if xdpyinfo > /dev/null 2>&1; then answered=1; break; fi
  sleep 0.1
done
[ -n "$answered" ] || { cat "$dir/xvfb.log" >&2; echo "with_xvfb: $DISPLAY does not answer" >&2; exit 1; }

"$@"
