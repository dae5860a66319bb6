#!/usr/bin/env bash
# The Debian package as a player gets it: built with CPack from this build
# tree, unpacked into a scratch root, its layout checked against what the
# desktop entry and the metadata promise, and the installed game started under
# Xvfb through its launcher from other folders, including a copy of the whole
# tree in a folder whose path has spaces and Japanese in it.
# Usage: package_test.sh <cmake> <cpack> <build folder>
set -euo pipefail

if [ -z "${XVFB_INNER:-}" ]; then
  # An X server of its own, up and answering before anything uses it.
  exec env XVFB_INNER=1 "$(dirname "$0")/../window/with_xvfb.sh" "$0" "$@"
fi
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY"; exit 1; }

cmake=$1
cpack=$2
build=$(readlink -f "$3")
work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }

# ── the package ──
# The tree `cmake --install` makes, packed with the project's own CPack
# settings. (`cpack` alone would first rebuild every target of the build
# tree; this packs what has been built, as the other tests test it.)
stage=$work/stage
DESTDIR=$stage timeout 120 "$cmake" --install "$build" --prefix /usr --strip > "$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install failed"; }
{
  echo "include(\"$build/CPackConfig.cmake\")"
  echo 'set(CPACK_INSTALL_CMAKE_PROJECTS "")'
  echo "set(CPACK_INSTALLED_DIRECTORIES \"$stage/usr;usr\")"
} > "$work/cpack.cmake"
(cd "$work" && timeout 300 "$cpack" -G DEB --config "$work/cpack.cmake" -B "$work/out") > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not build the package"; }
debs=("$work"/out/suirei_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one suirei_*.deb, found: ${debs[*]}"
deb=${debs[0]}
ok "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = suirei ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = games ] || fail "section is '$(field Section)', not games"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
# Read whole, then take the first line: with pipefail, a reader that stops
# early (grep -q, head) would fail the pipe now and then.
description=$(field Description)
summary=${description%%$'\n'*}
[[ $summary == *翠嶺秘抄* ]] || fail "the description does not carry the title 翠嶺秘抄"
depends=$(field Depends)
for need in libqt6widgets6 libqt6gui6 libqt6core6 fonts-ipafont-gothic; do
  [[ ",$depends," =~ [,\ ]$need[\ ,] ]] || fail "Depends lacks $need: $depends"
done
ok "control fields: games, Qt 6 and the Japanese font in Depends"

root=$work/root
dpkg-deb -x "$deb" "$root"

# ── the layout ──
program=$root/usr/lib/suirei
[ -x "$program/suirei" ] && [ ! -L "$program/suirei" ] || fail "no program at usr/lib/suirei/suirei"
pictures=(ama amai an1 an2 an3 an4 dai hou houka houke iru ka karu kou kuro kuron sh shou)
for name in "${pictures[@]}"; do
  [ -f "$program/$name.bmp" ] || fail "$name.bmp is not beside the program"
  [ "$(head -c 2 "$program/$name.bmp")" = BM ] || fail "$name.bmp is not a Windows bitmap"
done
count=$(find "$program" -maxdepth 1 -name '*.bmp' | wc -l)
[ "$count" -eq ${#pictures[@]} ] || fail "$count bitmaps in the program folder, expected ${#pictures[@]}"
ok "the program and its ${#pictures[@]} pictures side by side"

launcher=$root/usr/bin/suirei
[ -L "$launcher" ] || fail "usr/bin/suirei is not a symbolic link"
link=$(readlink "$launcher")
[ "${link#/}" = "$link" ] || fail "the launcher points at an absolute path ($link), which breaks a moved tree"
[ "$(readlink -f "$launcher")" = "$(readlink -f "$program/suirei")" ] || fail "the launcher points at $link"
ok "launcher usr/bin/suirei -> $link"

apps=$root/usr/share/applications
desktops=("$apps"/*.desktop)
[ ${#desktops[@]} -eq 1 ] && [ -f "${desktops[0]}" ] || fail "expected one desktop entry in usr/share/applications"
desktop=${desktops[0]}
key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[ "$(key Name)" = 翠嶺秘抄 ] || fail "desktop Name is '$(key 'Name')'"
[ "$(key 'Name\[en\]')" = Suirei ] || fail "desktop Name[en] is '$(key 'Name\[en\]')'"
[[ "$(key Categories)" == *Game\;*AdventureGame\;* ]] || fail "desktop Categories are '$(key Categories)'"
exec_name=$(key Exec | cut -d' ' -f1)
[ -e "$root/usr/bin/$exec_name" ] || fail "desktop Exec=$exec_name is not in usr/bin"
icon=$(key Icon)
hicolor=$root/usr/share/icons/hicolor
[ -f "$hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
grep -q '<svg' "$hicolor/scalable/apps/$icon.svg" || fail "$icon.svg is not an SVG drawing"
for size in 64 128 256; do
  png=$hicolor/${size}x${size}/apps/$icon.png
  [ -f "$png" ] || fail "no ${size} px icon"
  # PNG: the signature, then the IHDR chunk with big-endian width and height.
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
  w=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 )); h=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
  [ "$w" -eq "$size" ] && [ "$h" -eq "$size" ] || fail "the ${size} px icon is ${w}x${h}"
done
ok "desktop entry $(basename "$desktop"): Exec and Icon resolve in the package"

metainfos=("$root"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfos[0]}" ] || fail "no metainfo in usr/share/metainfo"
metainfo=${metainfos[0]}
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo" | head -n 1)
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo file name does not match its id $id"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ "$launchable" = "$(basename "$desktop")" ] || fail "metainfo launches '$launchable', the package has $(basename "$desktop")"
grep -q '<content_rating' "$metainfo" || fail "metainfo has no content rating"
ok "metainfo $id launches $launchable"

if command -v desktop-file-validate > /dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  ok "desktop-file-validate"
fi
if command -v appstreamcli > /dev/null; then
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
  ok "appstreamcli validate"
fi

# ── the installed game ──
# Starts the game through a link from a folder with no pictures, waits for
# its window, clicks 終了 and expects status 0 and nothing on standard error.
play_through() {  # label launcher
  local label=$1 start=$2 elsewhere win status
  elsewhere=$(mktemp -d "$work/elsewhere.XXXX")
  (cd "$elsewhere" && exec "$start") > "$work/out.txt" 2> "$work/err.txt" &
  pid=$!
  win=$(timeout 60 xdotool search --sync --onlyvisible --name "翠　嶺　秘　抄" | head -n 1) || true
  if [ -z "$win" ]; then
    cat "$work/err.txt"
    fail "$label: no game window within 60 seconds"
  fi
  xdotool mousemove --window "$win" 456 100 click 1   # 終了
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "$label: 終了 did not end the game"
  status=0; wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || { cat "$work/err.txt"; fail "$label: exit status $status"; }
  if grep -q '^suirei:' "$work/err.txt"; then cat "$work/err.txt"; fail "$label: the game reported an error"; fi
  ok "$label: window shown, 終了 ended it with status 0"
}

play_through "launcher in the package root" "$launcher"

# The same tree moved into a folder with spaces and Japanese in its path,
# started through its own relative launcher and through a link from elsewhere.
moved="$work/翠嶺 テスト/秘抄 フォルダー"
mkdir -p "$moved"
cp -a "$root/usr" "$moved/"
play_through "moved tree, its launcher" "$moved/usr/bin/suirei"
mkdir -p "$work/links"
ln -s "$moved/usr/lib/suirei/suirei" "$work/links/翠嶺"
play_through "moved tree, a link named 翠嶺 elsewhere" "$work/links/翠嶺"
