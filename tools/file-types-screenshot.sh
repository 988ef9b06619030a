#!/usr/bin/env bash
# tools/file-types-screenshot.sh OUTPUT.png
# Installs the build into a temporary home, codes the sample photo into
# every kind of file the program writes, and photographs a file manager
# (PCManFM under Xvfb) showing them with the program's icon: the picture of
# the README's "Install" section.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath "${1:?usage: tools/file-types-screenshot.sh OUTPUT.png}")"

tools/install-deps.sh xvfb xauth pcmanfm adwaita-icon-theme x11-apps netpbm dbus
build="${PICTORA_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target pictora pictora-cli pictora_manual_pages

work="$(mktemp -d /tmp/pictora-XXXXXX)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME/pcmanfm/default" "$work/Imagens"
cp -r "$work/stage/usr/share/." "$XDG_DATA_HOME/"
update-mime-database "$XDG_DATA_HOME/mime"
printf '[ui]\nwin_width=760\nwin_height=330\nview_mode=icon\n' >"$XDG_CONFIG_HOME/pcmanfm/default/pcmanfm.conf"

cp samples/tulips.png "$work/Imagens/"
(cd "$work/Imagens" && "$OLDPWD/$build/src/cli/pictora-cli" train tulips.png --steps 3 --measures psnr \
  -o tulips.mqc -o tulips.huf -o tulips.art -o tulips.mqz -o tulips.cod >/dev/null)

xvfb-run -a -s "-screen 0 760x330x24" dbus-run-session -- sh -c '
  pcmanfm "$1" >/dev/null 2>&1 &
  sleep 8
  xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$2"
  kill $! 2>/dev/null || true' sh "$work/Imagens" "$out"
echo "wrote $out"
