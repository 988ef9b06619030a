#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/pictora.svg, to the PNG sizes
# the hicolor theme installs (packaging/icons/pictora-N.png). Run it after
# changing the drawing and commit the PNGs with it: the build only copies them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh librsvg2-bin
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" packaging/icons/pictora.svg -o "packaging/icons/pictora-$size.png"
done
