#!/usr/bin/env bash
# Fails when a file of SRC opens a namespace that is not its folder's path: src/ui/qt/x.cpp is in
# ui::qt, src/model/case_files/y.h in model::case_files; a header's implementation details may sit
# in FOLDER::detail. Anonymous namespaces and namespace aliases are free; files directly in SRC
# hold only main(). Only src/ is checked: tests, tools and benchmarks keep their code in anonymous
# namespaces and their shared helpers in namespaces named for the helper (testing_support, ...).
#   namespaces.sh SRC
set -u
src=${1:?usage: namespaces.sh SRC}
cd "$src" || exit 2
fail=0
while IFS= read -r -d '' file; do
  folder=$(dirname "$file")
  [ "$folder" = . ] && continue
  expected=${folder//\//::}
  while IFS= read -r line; do
    n=${line%%:*}
    name=$(sed -E 's/^[0-9]+:[[:space:]]*(inline[[:space:]]+)?namespace[[:space:]]+([A-Za-z_:]+).*/\2/' <<<"$line")
    if [ "$name" != "$expected" ] && [ "$name" != "$expected::detail" ] && [ "$name" != detail ]; then
      echo "$file:$n: namespace $name in folder $folder (expected $expected)"
      fail=1
    fi
  done < <(grep -nE '^[[:space:]]*(inline[[:space:]]+)?namespace[[:space:]]+[A-Za-z_:]+[[:space:]]*\{' "$file")
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0' | sort -z)
[ "$fail" = 0 ] && echo "every namespace is its folder"
exit "$fail"
