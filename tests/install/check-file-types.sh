#!/usr/bin/env bash
# check-file-types.sh MIME_XML DESKTOP_ENTRY
# The file-type definition is well-formed XML that update-mime-database
# turns into a glob for each of the program's extensions and a signature for
# the contextual coded image; the desktop entry offers to open every type it
# defines.
set -euo pipefail
xml="$1"
desktop="$2"

xmllint --noout "$xml"
database="$(mktemp -d)"
trap 'rm -rf "$database"' EXIT
mkdir "$database/packages"
cp "$xml" "$database/packages/pictora.xml"
update-mime-database "$database" 2>/dev/null

failures=0
for glob in coded:mqc huffman:huf arithmetic:art contextual:mqz codebook:cod; do
  line="application/x-pictora-${glob%%:*}:*.${glob#*:}"
  grep -qxF "50:$line" "$database/globs2" || { echo "no glob $line"; failures=$((failures + 1)); }
done
grep -qa 'application/x-pictora-contextual' "$database/magic" || { echo "no signature for .mqz"; failures=$((failures + 1)); }

defined="$(grep -o '<mime-type type="[^"]*"' "$xml" | cut -d'"' -f2 | sort)"
offered="$(grep '^MimeType=' "$desktop" | cut -d= -f2 | tr ';' '\n' | grep '^application/x-pictora-' | sort)"
if [ "$defined" != "$offered" ]; then
  echo "the desktop entry's MimeType differs from the types defined (<):"
  diff <(echo "$defined") <(echo "$offered") || true
  failures=$((failures + 1))
fi
exit $((failures > 0))
