#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS]
# Builds every libFuzzer target with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, seeds its corpus from the test photographs and
# from files pictora-cli makes of them, and runs each target for SECONDS
# (default 60), as many targets at once as there are cores. Fails on the
# first finding; prints executions per target. The seeds are made by the
# pictora-cli of build/ when ./test.sh has built it (the files are the same
# whichever build makes them), which spares compiling the command line and
# the studies once more under the fuzzing compiler.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets=(png mqc cod huf art entropy_roundtrip mqz mqz_roundtrip)

tools/install-deps.sh clang
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPICTORA_BUILD_GUI=OFF -DPICTORA_BUILD_TESTS=OFF -DPICTORA_BUILD_FUZZERS=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cli=build/src/cli/pictora-cli
fuzz_build_targets=("${targets[@]/#/fuzz_}")
if [ ! -x "$cli" ]; then
  cli=build-fuzz/src/cli/pictora-cli
  fuzz_build_targets+=(pictora-cli)
fi
cmake --build build-fuzz -j "$(nproc)" --target "${fuzz_build_targets[@]}"

corpus=build-fuzz/corpus
seeds=build-fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
for t in "${targets[@]}"; do mkdir -p "$corpus/$t"; done
export ASAN_OPTIONS=detect_leaks=0
"$cli" train tests/data/photo64-a.png --block 4 -o "$seeds/a.mqc" -o "$seeds/a.cod" -o "$seeds/a.huf" -o "$seeds/a.art" \
  -o "$seeds/a.mqz" >/dev/null
"$cli" train tests/data/photo64-b.png --color-space ycbcr420 --block 3,2,2 --steps 2 \
  -o "$seeds/b.mqc" -o "$seeds/b.cod" -o "$seeds/b.huf" -o "$seeds/b.art" -o "$seeds/b.mqz" >/dev/null
"$cli" train tests/data/photo64-c.png --color-space ycbcr444 --block 8 --radius 0.3 \
  -o "$seeds/c.mqc" -o "$seeds/c.cod" -o "$seeds/c.huf" -o "$seeds/c.art" -o "$seeds/c.mqz" >/dev/null
cp tests/data/photo64-*.png tests/data/refuse/*.png tests/data/png/*.png "$corpus/png/"
cp "$seeds"/*.mqc "$corpus/mqc/"
cp "$seeds"/*.huf "$corpus/huf/"
cp "$seeds"/*.art "$corpus/art/"
cp "$seeds"/*.mqz "$corpus/mqz/"
cp "$seeds"/*.mqc "$corpus/mqz_roundtrip/"
for f in "$seeds"/*.cod; do
  { printf '\x00'; cat "$f"; } > "$corpus/cod/one-$(basename "$f")"
  { printf '\x01\x55\x80\x39'; cat "$f" "$f" "$f"; } > "$corpus/cod/three-$(basename "$f")"
done
for f in "$seeds"/*.mqc; do
  { printf '\x00'; cat "$f"; } > "$corpus/entropy_roundtrip/huffman-$(basename "$f")"
  { printf '\x01'; cat "$f"; } > "$corpus/entropy_roundtrip/arithmetic-$(basename "$f")"
done

# Runs one target; its log and any input that made it fail stay in build-fuzz/.
fuzz_one() {
  local t="$1"
  local log="build-fuzz/fuzz_$t.log"
  if ! build-fuzz/fuzz/fuzz_$t "$corpus/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
      -max_len=131072 -print_final_stats=1 -artifact_prefix="build-fuzz/fuzz_$t-" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz_$t found a problem; the input is in build-fuzz/fuzz_$t-*"
    return 1
  fi
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  echo "fuzz_$t: $runs executions in ${seconds}s, $((runs / seconds)) per second"
}

at_once="$(nproc)"
failed=0
for ((first = 0; first < ${#targets[@]}; first += at_once)); do
  pids=()
  for t in "${targets[@]:first:at_once}"; do
    echo "== fuzz_$t for ${seconds}s"
    fuzz_one "$t" > "build-fuzz/fuzz_$t.summary" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  for t in "${targets[@]:first:at_once}"; do cat "build-fuzz/fuzz_$t.summary"; done
  [ "$failed" -eq 0 ] || exit 1
done
