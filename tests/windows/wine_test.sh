#!/usr/bin/env bash
# wine_test.sh NATIVE-PLAY WINDOWS-BUILD: runs the Windows tools of a MinGW-w64
# cross build under Wine, in a throw-away Wine prefix inside that build folder:
#   - every route file through suirei-play.exe, byte for byte the native
#     driver's output (one LF per line, as a Windows script author diffs it);
#   - the driver's input and error handling, as on Linux;
#   - suirei-check.exe over the whole story: no findings.
# The prefix's wineserver is ended and the prefix removed however it ends.
set -uo pipefail
native=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
wine=${SUIREI_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
for tool in "$wine" "$wineserver" "$build/bin/suirei-play.exe" "$build/bin/suirei-check.exe"; do
  [ -x "$tool" ] || { echo "FAIL: $tool is missing" >&2; exit 1; }
done

# No display, no Wine debug chatter, no offer to install Mono or Gecko.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all DISPLAY='' WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
end_wine() {
  "$wineserver" -k 2> /dev/null
  "$wineserver" -w 2> /dev/null
  rm -rf "$WINEPREFIX"
}
trap end_wine EXIT

start=$(date +%s.%N)
"$wine" wineboot --init > "$build/wineboot.log" 2>&1 ||
  { echo "FAIL: Wine could not set up its prefix:"; cat "$build/wineboot.log"; exit 1; }
ready=$(date +%s.%N)

failed=0
echo "== the .exe files need only what every Windows has"
for exe in suirei-play suirei-check; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$build/bin/$exe.exe" | sed -n 's/^\tDLL Name: //p')
  others=$(grep -viE '^(kernel32|msvcrt)\.dll$' <<<"$dlls")
  if [ -n "$others" ]; then echo "FAIL $exe.exe needs" $others; failed=1
  else echo "ok   $exe.exe needs only" $dlls; fi
done

echo "== route files: suirei-play.exe under Wine against $native"
"$here/tests/routes/compare.sh" "$native" -- "$wine" "$build/bin/suirei-play.exe" || failed=1

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

done=$(date +%s.%N)
awk -v s="$start" -v r="$ready" -v d="$done" \
  'BEGIN { printf "Wine: prefix set up in %.1f s, tests run in %.1f s\n", r - s, d - r }'
[ $failed -eq 0 ] && echo "Windows tools under Wine: all passed" || echo "Windows tools under Wine: FAILED"
exit $failed
