#!/usr/bin/env bash
# tools/check-package.sh: builds the Debian package (cpack -G DEB) in the
# build folder, checks its control fields and its file list, installs it
# with apt-get, runs the installed pictora-cli (--version and a short train)
# and removes the package again. Needs root (or sudo) for apt-get; refuses
# to run when a pictora package is installed already.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"

tools/install-deps.sh
build="${PICTORA_BUILD_DIR:-build}"  # reuses the folder ./test.sh built
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if dpkg -s pictora >/dev/null 2>&1; then
  echo "check-package: a pictora package is installed already; remove it first" >&2
  exit 1
fi

work="$(mktemp -d)"
installed=""
cleanup() {
  [ -z "$installed" ] || $sudo apt-get remove -y -qq pictora >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"  # apt reads the package as its own unprivileged user

fail() { echo "check-package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
debs=("$work"/pictora_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single pictora_*.deb"
deb="${debs[0]}"
echo "check-package: built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

# Control fields. The libraries come from dpkg-shlibdeps: their presence
# shows it ran, since only the plugins and the font are named by hand.
version="$("$build/src/cli/pictora-cli" --version | cut -d' ' -f2)"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pictora ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends="$(field Depends)"
for package in libc6 libstdc++6 libdeflate0 libhwy1 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-dejavu-core; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package: $depends"
done

# The file list: exactly these files, all under /usr.
expected=(usr/bin/pictora usr/bin/pictora-cli usr/share/applications/pictora.desktop
          usr/share/icons/hicolor/scalable/apps/pictora.svg usr/share/man/man1/pictora-cli.1.gz
          usr/share/man/man1/pictora.1.gz usr/share/mime/packages/pictora.xml)
for size in 16 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/pictora.png"); done
listed="$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)"
wanted="$(printf '%s\n' "${expected[@]}" | sort)"
if [ "$listed" != "$wanted" ]; then
  echo "check-package: the package's files differ from the expected (<):" >&2
  diff <(echo "$wanted") <(echo "$listed") >&2 || true
  exit 1
fi

# Installed as a user would, its dependencies from the archive.
if ! $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1; then
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get install failed"; }
fi
installed=yes
[ "$(/usr/bin/pictora-cli --version)" = "pictora-cli $version" ] || fail "/usr/bin/pictora-cli --version: $(/usr/bin/pictora-cli --version)"
(cd "$work" && /usr/bin/pictora-cli train "$source_dir/tests/data/photo64-a.png" --steps 2 --measures psnr \
  -o trained.mqc >train.txt) || fail "/usr/bin/pictora-cli train failed"
awk 'END { exit !($1 == 2) }' "$work/train.txt" || fail "train printed no second step"
[ -s "$work/trained.mqc" ] || fail "train wrote no coded image"
[ -x /usr/bin/pictora ] || fail "no /usr/bin/pictora"
# shared-mime-info's trigger has run: the system knows the coded images.
grep -q 'application/x-pictora-coded' /usr/share/mime/globs2 || fail "the MIME database lacks the program's types"

$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq pictora >/dev/null
installed=""
[ ! -e /usr/bin/pictora-cli ] || fail "/usr/bin/pictora-cli is left after removal"
! grep -q 'application/x-pictora-coded' /usr/share/mime/globs2 || fail "the MIME database keeps the types after removal"
echo "check-package: $(basename "$deb") built, installed, run and removed"
