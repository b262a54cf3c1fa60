#!/usr/bin/env bash
# Fails when a function of SRC is longer than LIMIT lines (60 unless given), from the line of its
# name to its closing brace, as universal-ctags finds them. A long function is split into named
# steps, not wrapped in a wider limit.
#   function_length.sh SRC [LIMIT]
set -u
src=${1:?usage: function_length.sh SRC [LIMIT]}
limit=${2:-60}
if ! ctags --version 2>/dev/null | grep -q 'Universal Ctags'; then
  echo "universal-ctags is not installed (scripts/setup.sh installs it)"
  exit 77
fi
cd "$src" || exit 2
# A function whose end ctags cannot find has no %{end}: it would be counted as 1 line, so it is
# refused rather than passed.
long=$(ctags -R --languages=C++ --kinds-C++=f --fields=+ne -x --_xformat='%{line} %{end} %F %N' . |
       awk -v limit="$limit" '
         $2 !~ /^[0-9]+$/ { print $3 ":" $1 ": " $4 " has no end ctags can find"; next }
         { n = $2 - $1 + 1; if (n > limit) print $3 ":" $1 ": " $4 " is " n " lines long" }' | sort)
if [ -n "$long" ]; then
  echo "$long"
  echo "functions over $limit lines: split them into named steps"
  exit 1
fi
echo "every function is at most $limit lines long"
