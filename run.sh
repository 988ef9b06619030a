#!/usr/bin/env bash
# Installs what is missing and builds; then starts the desktop application
# when a display is available, and otherwise runs the main job on the
# command line: three training steps on the bundled sample photograph with
# the form's default parameters.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  cmake --build build -j "$(nproc)" --target pictora
  exec build/src/ui/pictora "$@"
fi
cmake --build build -j "$(nproc)" --target pictora-cli
exec build/src/cli/pictora-cli train samples/tulips.png --steps 3 "$@"
