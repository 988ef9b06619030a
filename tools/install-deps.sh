#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# only those that are missing. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(cmake g++ make ninja-build pkg-config libpng-dev zlib1g-dev libdeflate-dev libgtest-dev libbenchmark-dev
          libhwy-dev qt6-base-dev fonts-dejavu-core libcli11-dev libjpeg62-turbo-dev libwebp-dev libavif-dev
          libjxl-dev locales libcairo2-dev libxml2-dev
          desktop-file-utils libxml2-utils shared-mime-info groff-base dpkg-dev
          chromium parallel python3)
packages+=("$@")

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The users' locale, with its decimal comma: the tests run under it too.
if ! locale -a 2>/dev/null | grep -qi '^pt_BR\.utf-\?8$'; then
  echo "Generating the pt_BR.UTF-8 locale"
  $sudo sed -i 's/^# *\(pt_BR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^pt_BR\.UTF-8 UTF-8' /etc/locale.gen || echo 'pt_BR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
