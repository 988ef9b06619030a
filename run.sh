#!/usr/bin/env bash
# Installs what is missing, builds and runs the main job: three training steps
# on the bundled sample photograph with the form's default parameters.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target pictora-cli
build/src/cli/pictora-cli train samples/tulips.png --steps 3 "$@"
