#!/usr/bin/env bash
# Fails when a file of SRC includes a higher layer. Layers from the ground up:
#   text -> files and base -> model (with model/case_files) -> loadfile, and files -> ui; both
#   under dialogs -> app
# files/ reads and checks files for every layer above it: text/ only makes and reads texts.
# base/ holds generic containers that name nothing of the domain.
# motion/ (records and load histories from files) stands beside model/, on text/ and files/.
# suite/ (a suite of records into loading files) stands on loadfile/ and motion/, under dialogs/.
# loadfile/ is the loading file's codec: it knows no toolkit, so it can serve a command line.
# ui/qt and ui/script implement the toolkit interface and know no program layer; model/ uses
# only text/, files/, base/ and the C++ and POSIX libraries (and, in case_files/, the JSON library of the
# run's journal); only ui/qt and app/main.cpp include Qt.
#   include_layers.sh SRC
set -u
src=${1:?usage: include_layers.sh SRC}
cd "$src" || exit 2

# The folders whose headers a file of each folder may include.
allowed_for() {
  case $1 in
    text/*) echo "text" ;;
    files/*) echo "text files" ;;
    base/*) echo "text base" ;;
    model/*) echo "text files base model" ;;
    motion/*) echo "text files motion" ;;
    ui/qt/replay/*) echo "text files ui ui/qt ui/script" ;;  # the statements of the scripted face
    ui/qt/*) echo "text files ui ui/qt" ;;
    ui/script/*) echo "text files ui ui/script" ;;
    ui/*) echo "text files ui" ;;
    loadfile/*) echo "text files base model loadfile" ;;
    suite/*) echo "text files base model motion ui loadfile suite" ;;
    dialogs/*) echo "text files base model motion ui loadfile suite dialogs" ;;
    app/main.cpp) echo "text files base model motion ui ui/qt loadfile suite dialogs app" ;;
    app/*) echo "text files base model motion ui loadfile suite dialogs app" ;;
    *) echo "" ;;
  esac
}

# The folder an included path belongs to, as the layers count it.
layer_of() {
  case $1 in
    ui/qt/*) echo "ui/qt" ;;
    ui/script/*) echo "ui/script" ;;
    *) echo "${1%%/*}" ;;
  esac
}

fail=0
while IFS= read -r -d '' file; do
  allowed=" $(allowed_for "$file") "
  while IFS= read -r line; do
    n=${line%%:*}
    header=$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$line")
    if [[ "$allowed" != *" $(layer_of "$header") "* ]]; then
      echo "$file:$n: includes \"$header\", a higher or foreign layer"
      fail=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
  while IFS= read -r line; do
    n=${line%%:*}
    header=$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]+)>.*/\1/' <<<"$line")
    if [[ "$header" =~ ^Q|^qt|^Qt ]] && [[ "$file" != ui/qt/* && "$file" != app/main.cpp ]]; then
      echo "$file:$n: includes <$header>: only ui/qt and app/main.cpp use Qt"
      fail=1
    fi
    if [[ "$file" == model/* ]] && [[ "$header" == *.h* || "$header" == */* ]] &&
       ! [[ "$header" =~ ^(sys/[a-z_]+|dirent|fcntl|unistd|signal|errno)\.h$ ]] &&
       ! [[ "$file" == model/case_files/* && "$header" == nlohmann/json.hpp ]]; then
      echo "$file:$n: includes <$header>: model/ uses only text/, files/, base/ and the C++ and POSIX libraries"
      fail=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$file")
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0' | sort -z)
[ "$fail" = 0 ] && echo "every include points down"
exit "$fail"
