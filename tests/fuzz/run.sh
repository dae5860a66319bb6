#!/usr/bin/env bash
# Builds the picture-loader fuzzer with clang in a build folder of its own,
# seeds it with sound and spoiled bitmaps, and runs it for a bounded time.
# Exits 77 (a skip for CTest) when clang or libFuzzer is not installed.
#
#   tests/fuzz/run.sh <work-folder> [seconds=30] [game-pictures-folder]
#
# A crash leaves the input that caused it in <work-folder>/crashes; replay it
# with <work-folder>/build/picture-fuzzer <that file>.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=${1:?usage: run.sh <work-folder> [seconds] [pictures-folder]}
seconds=${2:-30}
pictures=${3:-}
mkdir -p "$work"
work=$(cd "$work" && pwd)

skip() { echo "fuzz: skipped: $*"; exit 77; }

cxx=${SUIREI_FUZZ_CXX:-}
if [[ -z $cxx ]]; then
  for candidate in clang++ clang++-16 clang++-15 clang++-14; do
    if command -v "$candidate" >/dev/null; then cxx=$(command -v "$candidate"); break; fi
  done
fi
[[ -n $cxx ]] || skip "no clang++ (Debian: apt-get install clang libclang-rt-14-dev)"

# libFuzzer's runtime ships apart from the compiler on Debian.
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
  > "$work/empty_target.cpp"
if ! "$cxx" -fsanitize=fuzzer,address "$work/empty_target.cpp" -o "$work/empty_target" 2> "$work/toolchain.log"; then
  cat "$work/toolchain.log"
  skip "$cxx cannot link libFuzzer (Debian: apt-get install libclang-rt-14-dev)"
fi

cmake -S "$here/target" -B "$work/build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$work/configure.log" \
  || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j 2

rm -rf "$work/seeds" "$work/corpus" "$work/crashes"
mkdir -p "$work/corpus" "$work/crashes"
"$work/build/make-seeds" "$work/seeds" ${pictures:+"$pictures"}

# Short of memory on purpose: a bitmap that makes the loader ask for more
# than a few hundred megabytes is a finding, not a feature.
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=1
echo "fuzz: $seconds s on the picture loader"
"$work/build/picture-fuzzer" "$work/corpus" "$work/seeds" \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=1024 -malloc_limit_mb=1024 \
  -max_len=131072 -print_final_stats=1 -artifact_prefix="$work/crashes/" 2>&1 | tail -n 60
status=${PIPESTATUS[0]}
if [[ $status -ne 0 ]]; then
  echo "fuzz: the loader failed on an input; see $work/crashes:"
  ls -l "$work/crashes"
fi
exit "$status"
