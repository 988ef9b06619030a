#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# only those that are missing. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(cmake g++ make ninja-build pkg-config libpng-dev zlib1g-dev libgtest-dev libbenchmark-dev
          libhwy-dev qt6-base-dev fonts-dejavu-core libcli11-dev libjpeg62-turbo-dev libwebp-dev libavif-dev
          libjxl-dev locales libcairo2-dev libxml2-dev)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
