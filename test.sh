#!/usr/bin/env bash
# Installs what is missing, builds everything in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICTORA_BUILD_TESTS=ON
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"
