#!/usr/bin/env bash
# tools/screenshots-locales.sh
# Runs the scripted screenshot session in C.UTF-8 and in pt_BR.UTF-8 (the
# users' locale, with its decimal comma) and fails unless every picture is
# the same in both.
set -euo pipefail
cd "$(dirname "$0")/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
LANG=C.UTF-8 LC_ALL=C.UTF-8 tools/screenshots.sh "$work/C" >/dev/null
LANG=pt_BR.UTF-8 LC_ALL=pt_BR.UTF-8 tools/screenshots.sh "$work/pt_BR" >/dev/null
status=0
count=0
for picture in "$work"/C/*.png; do
  count=$((count + 1))
  if ! cmp -s "$picture" "$work/pt_BR/$(basename "$picture")"; then
    echo "differs in pt_BR.UTF-8: $(basename "$picture")"
    status=1
  fi
done
[ "$count" -gt 0 ] || { echo "the session made no pictures"; exit 1; }
echo "$count screenshots, the same in C.UTF-8 and pt_BR.UTF-8"
exit $status
