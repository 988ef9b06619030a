#!/usr/bin/env bash
# check-install.sh BUILD_DIR SOURCE_DIR VERSION WITH_GUI(ON|OFF)
# Installs the build into a temporary DESTDIR under a prefix of its own and
# checks that exactly the expected files land there and nowhere else, that
# the manual pages carry the version, and that the installed pictora-cli
# runs from there: --version and a one-step train writing a contextual coded
# image whose signature the file-type definition looks for.
set -euo pipefail
build="$1"
source="$2"
version="$3"
with_gui="$4"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
prefix=/opt/pictora-test
DESTDIR="$stage/root" cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/pictora-cli share/man/man1/pictora-cli.1.gz share/mime/packages/pictora.xml)
case "$with_gui" in
  ON|1|TRUE|YES|on|true|yes)
    expected+=(bin/pictora share/man/man1/pictora.1.gz share/applications/pictora.desktop
               share/icons/hicolor/scalable/apps/pictora.svg)
    for size in 16 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/pictora.png"); done
    ;;
esac
actual="$(cd "$stage/root" && find . -type f -o -type l | sed 's|^\./||' | sort)"
wanted="$(printf "${prefix#/}/%s\n" "${expected[@]}" | sort)"
if [ "$actual" != "$wanted" ]; then
  echo "installed files differ from the expected (<):"
  diff <(echo "$wanted") <(echo "$actual") || true
  exit 1
fi

root="$stage/root$prefix"
for page in "$root"/share/man/man1/*.gz; do
  zcat "$page" | grep -q "Pictora $version" || { echo "$page does not name version $version"; exit 1; }
done

cli="$root/bin/pictora-cli"
[ "$("$cli" --version)" = "pictora-cli $version" ] || { echo "installed --version says: $("$cli" --version)"; exit 1; }
cd "$stage"
"$cli" train "$source/tests/data/photo64-a.png" --steps 2 --measures psnr -o trained.mqz -o trained.png >train.txt
awk 'END { exit !($1 == 2) }' train.txt || { echo "train printed no second step:"; cat train.txt; exit 1; }
[ -s trained.png ] || { echo "train wrote no trained.png"; exit 1; }
[ "$(head -c 4 trained.mqz | od -An -tx1 | tr -d ' ')" = 894d515a ] || { echo "trained.mqz lacks its signature"; exit 1; }
grep -q 'value="\\x89MQZ"' "$root/share/mime/packages/pictora.xml" || { echo "the file types miss the .mqz signature"; exit 1; }
