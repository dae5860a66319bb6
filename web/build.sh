#!/usr/bin/env bash
# Builds the browser editions into build-web/ (see README.md, "In the browser").
# Usage: web/build.sh [native-build-folder]
# Needs emscripten, node, Debian's python3 with fontTools and brotli,
# imagemagick and the IPA Gothic font; scripts/web installs them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$here/build}
out=$here/build-web
obj=$out/obj
mkdir -p "$out" "$obj"

# Debian's emscripten: its JavaScript optimizer finds acorn through NODE_PATH.
# Its system libraries come prebuilt in a read-only cache, so nothing is built
# or downloaded for them.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export EMCC_SKIP_SANITY_CHECK=1

cxxflags=(-std=c++20 -O2 -fconstexpr-steps=1000000000 -Wall -Wextra
          -I"$here/engine" -I"$here/script" -I"$here/tools" -I"$here/tools/check")

# ── Compile: every source once, again only when it or a header changed ──
sources=("$here"/engine/*.cpp "$here"/script/*.cpp "$here/tools/protocol.cpp" "$here/tools/play.cpp"
         "$here/web/suirei_web.cpp" "$here/web/strings.cpp" "$here/tools/check/exploration.cpp")
newest_header=
for h in "$here"/engine/*.hpp "$here"/script/*.hpp "$here"/tools/*.hpp "$here"/tools/check/*.hpp; do
    if [ -z "$newest_header" ] || [ "$h" -nt "$newest_header" ]; then newest_header=$h; fi
done
compile() {
    local src=$1 o=$2
    if [ ! -e "$o" ] || [ "$src" -nt "$o" ] || [ "$newest_header" -nt "$o" ]; then
        echo "  em++ ${src#"$here"/}"
        em++ "${cxxflags[@]}" -c "$src" -o "$o"
    fi
}
jobs=()
for src in "${sources[@]}"; do
    rel=${src#"$here"/}
    o=$obj/${rel//\//_}.o
    compile "$src" "$o" &
    jobs+=($!)
    # two at a time: the machine's two cores are shared
    if [ ${#jobs[@]} -ge 2 ]; then wait "${jobs[0]}"; jobs=("${jobs[@]:1}"); fi
done
for j in "${jobs[@]}"; do wait "$j"; done

engine_objs=()
for src in "$here"/engine/*.cpp "$here"/script/*.cpp; do
    rel=${src#"$here"/}; engine_objs+=("$obj/${rel//\//_}.o")
done

# ── The play driver for node: the native driver's protocol, byte for byte ──
echo "  link suirei-play.js"
em++ -O2 "${engine_objs[@]}" "$obj/tools_protocol.cpp.o" "$obj/tools_play.cpp.o" -o "$out/suirei-play.js" \
    -sENVIRONMENT=node -sSINGLE_FILE=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 --pre-js "$here/web/node-stdin.js"

# ── Every text the game shows, for the font ──
echo "  link suirei-strings.js"
em++ -O2 "${engine_objs[@]}" "$obj/web_strings.cpp.o" "$obj/tools_check_exploration.cpp.o" -o "$obj/suirei-strings.js" \
    -sENVIRONMENT=node -sSINGLE_FILE=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 --pre-js "$here/web/node-stdin.js"

# ── The engine for the page ──
echo "  link suirei-engine.js"
# (-Os at the link: the same engine, and a third less glue script to load.)
em++ -Os "${engine_objs[@]}" "$obj/tools_protocol.cpp.o" "$obj/web_suirei_web.cpp.o" -o "$obj/suirei-engine.js" \
    -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_NAME=SuireiEngine -sFILESYSTEM=0 \
    -sEXPORTED_FUNCTIONS=_suirei_window,_suirei_start,_suirei_restart,_suirei_click,_suirei_focus,_suirei_state \
    -sEXPORTED_RUNTIME_METHODS=UTF8ToString -sALLOW_MEMORY_GROWTH=1

/usr/bin/python3 "$here/web/pack.py" --native "$native" --out "$out"
