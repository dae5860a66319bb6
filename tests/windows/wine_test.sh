#!/usr/bin/env bash
# wine_test.sh NATIVE-BIN WINDOWS-BUILD: runs the Windows programs of a
# MinGW-w64 cross build under Wine, in one throw-away Wine prefix inside that
# build folder, under an X server of its own:
#   - every route file through suirei-play.exe, byte for byte the native
#     driver's output (one LF per line, as a Windows script author diffs it);
#   - the driver's input and error handling, as on Linux;
#   - suirei-check.exe over the whole story: no findings;
#   - the game's window, suirei.exe (window_test.sh).
# NATIVE-BIN is a native build's bin/: its play driver and its pictures. The
# prefix's wineserver is ended and the prefix removed however it ends.
set -uo pipefail
native=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${WINE_TEST_XVFB:-}" ]; then
  exec env WINE_TEST_XVFB=1 "$here/tests/window/with_xvfb.sh" "$0" "$native" "$build"
fi
. "$here/tests/windows/prefix.sh"
for tool in "$wine" "$wineserver" "$build/bin/suirei-play.exe" "$build/bin/suirei-check.exe" "$build/bin/suirei.exe"; do
  [ -x "$tool" ] || { echo "FAIL: $tool is missing" >&2; exit 1; }
done

trap wine_end EXIT

start=$(date +%s.%N)
wine_prefix "$build/wine-prefix" || { echo "FAIL: the Wine prefix"; exit 1; }
ready=$(date +%s.%N)

failed=0
echo "== the .exe files need only what every Windows has"
for exe in suirei-play suirei-check suirei; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$build/bin/$exe.exe" | sed -n 's/^\tDLL Name: //p')
  allowed='kernel32|msvcrt'
  [ "$exe" = suirei ] && allowed+='|user32|gdi32'   # the window and its drawing
  others=$(grep -viE "^($allowed)\.dll$" <<<"$dlls")
  if [ -n "$others" ]; then echo "FAIL $exe.exe needs" $others; failed=1
  else echo "ok   $exe.exe needs only" $dlls; fi
done

echo "== route files: suirei-play.exe under Wine against $native/suirei-play"
"$here/tests/routes/compare.sh" "$native/suirei-play" -- "$wine" "$build/bin/suirei-play.exe" || failed=1

echo "== suirei-play.exe: input and errors"
"$here/tests/routes/driver_test.sh" "$wine" "$build/bin/suirei-play.exe" || failed=1

echo "== suirei-check.exe: the whole story"
"$wine" "$build/bin/suirei-check.exe" > "$build/check.txt" 2>&1
status=$?
tr -d '\r' < "$build/check.txt" | sed 's/^/   /'
if [ $status -eq 0 ] && grep -q '^findings: 0' <(tr -d '\r' < "$build/check.txt"); then
  echo "ok   suirei-check.exe: no findings"
else
  echo "FAIL suirei-check.exe exited with status $status"; failed=1
fi

tools=$(date +%s.%N)
"$here/tests/windows/window_test.sh" "$native" "$build" || failed=1

done=$(date +%s.%N)
awk -v s="$start" -v r="$ready" -v t="$tools" -v d="$done" \
  'BEGIN { printf "Wine: prefix set up in %.1f s, the tools tested in %.1f s, the window in %.1f s\n", r - s, t - r, d - t }'
[ $failed -eq 0 ] && echo "Windows programs under Wine: all passed" || echo "Windows programs under Wine: FAILED"
exit $failed
