#!/usr/bin/env bash
# check-manual.sh PICTORA_CLI MANUAL_PAGE
# The manual page and --help must not drift apart: the page documents the
# same commands as the help lists, and under each command (or under OPTIONS
# for the program itself) exactly the options that command's --help prints.
# The page must also set without a warning.
set -euo pipefail
cli="$1"
page="$2"

# The options of a --help text, one a line, sorted: "-h,--help" gives -h and --help.
help_options() { awk '/^  -/ { print $1 }' | tr ',' '\n' | sort -u; }

# The options the page's items (the line after each .TP) name, in the
# section that starts at a line equal to $1 and ends at the next .SH or .SS.
page_options() {
  awk -v start="$1" '
    $0 == start { inside = 1; next }
    inside && /^\.S[HS] / { inside = 0 }
    inside && item {
      gsub(/\\-/, "-"); gsub(/"/, " "); gsub(/,/, " ")
      for (i = 2; i <= NF; ++i) if ($i ~ /^--?[a-z][a-z-]*$/) print $i
    }
    { item = inside && $0 == ".TP" }
  ' "$page" | sort -u
}

failures=0
same() {  # same WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "$1 differ between --help (<) and $page (>):"
    diff <(echo "$2") <(echo "$3") || true
    failures=$((failures + 1))
  fi
}

help_commands=$("$cli" --help | awk '/^Subcommands:/ { inside = 1; next } inside && /^  [a-z]/ { print $1 } /^$/ { inside = 0 }' | sort)
page_commands=$(awk '/^\.SH / { inside = ($0 == ".SH COMMANDS") } inside && /^\.SS / { print $2 }' "$page" | sort)
[ -n "$help_commands" ] || { echo "no commands found in $cli --help"; exit 1; }
same "commands" "$help_commands" "$page_commands"
same "the program's options" "$("$cli" --help | help_options)" "$(page_options ".SH OPTIONS")"
for command in $help_commands; do
  # Every command's --help lists -h,--help, which OPTIONS documents once.
  same "options of $command" "$("$cli" "$command" --help | help_options | grep -vx -e -h -e --help)" \
    "$(page_options ".SS $command")"
done

warnings=$(groff -man -ww -z -Tutf8 "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "$page does not set cleanly:"
  echo "$warnings"
  failures=$((failures + 1))
fi
exit $((failures > 0))
