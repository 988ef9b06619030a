#!/usr/bin/env bash
# tools/screenshots.sh OUTPUT_FOLDER
# Runs the desktop application under Xvfb through a short scripted session
# (load the sample, train 3 steps, visit every tab and chart, the codebook
# order dialog, a decoded Huffman file) and saves a PNG of each state.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:?usage: tools/screenshots.sh OUTPUT_FOLDER}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

tools/install-deps.sh xvfb xauth
build="${PICTORA_BUILD_DIR:-build}"  # an existing build folder may be named instead
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target pictora-screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/pictora-screenshots" "$out" samples/tulips.png
