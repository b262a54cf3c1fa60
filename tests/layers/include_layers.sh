#!/usr/bin/env bash
# Fails when a file of SRC includes a layer its folder does not declare, or when the declared links
# do not point down. Each source folder's CMakeLists.txt declares its layer (or a program) with its
# sources and the layers it links:
#   brantel_layer(NAME SOURCES a.cpp sub/b.cpp ... LINKS brantel_x brantel_y Lib::target ...)
#   brantel_program(NAME SOURCES main.cpp LINKS ...)
# A file belongs to the declaration whose SOURCES name it, any other file (a header) to the first
# declaration of the nearest CMakeLists.txt at or above its folder. A file may include its own
# layer's headers and those of the layers its declaration links, nothing reached only through them;
# the links must form no cycle, so an include that points up stays refused even when linked.
# A library's headers (<...> naming a path or a .h file) are included only where its target is
# linked, the C and POSIX headers anywhere.
#   include_layers.sh SRC
set -u
src=${1:?usage: include_layers.sh SRC}
cd "$src" || exit 2
fail=0
refuse() { echo "$*"; fail=1; }

# The declarations, one per line: DECL folder name, SOURCE name path, LINK name target. Comments
# are dropped and each call is read up to its closing parenthesis, across lines.
declarations=$(find . -name CMakeLists.txt -printf '%P\n' | sort | while IFS= read -r list; do
  awk -v folder="$(dirname "$list")" '
    { sub(/#.*/, ""); text = text " " $0 }
    END {
      while (match(text, /brantel_(layer|program)[ \t]*\([^)]*\)/)) {
        call = substr(text, RSTART, RLENGTH)
        text = substr(text, RSTART + RLENGTH)
        gsub(/^brantel_(layer|program)[ \t]*\(|\)$/, "", call)
        n = split(call, word, /[ \t]+/)
        name = ""; part = ""
        for (i = 1; i <= n; ++i) {
          if (word[i] == "") continue
          if (name == "") { name = word[i]; print "DECL", folder, name; continue }
          if (word[i] == "SOURCES" || word[i] == "LINKS") { part = word[i]; continue }
          path = (folder == ".") ? word[i] : folder "/" word[i]
          if (part == "SOURCES") print "SOURCE", name, path
          else if (part == "LINKS") print "LINK", name, word[i]
          else print "BAD", name, word[i]
        }
      }
    }' "$list"
done)

declare -A folder_of links first_of owner
while read -r kind a b; do
  case $kind in
    DECL) folder_of[$b]=$a; [ -n "${first_of[$a]:-}" ] || first_of[$a]=$b; links[$b]="" ;;
    SOURCE) owner[$b]=$a ;;
    LINK) links[$a]+=" $b" ;;
    BAD) refuse "$a: \"$b\" is neither under SOURCES nor under LINKS" ;;
  esac
done <<<"$declarations"
[ ${#folder_of[@]} -gt 0 ] || { echo "no CMakeLists.txt under $src declares a layer"; exit 1; }

names=$(printf '%s\n' "${!links[@]}" | sort)
for name in $names; do
  for target in ${links[$name]}; do
    if [[ "$target" == *'$'* ]]; then
      refuse "${folder_of[$name]}/CMakeLists.txt: $name links $target: name the layers, not a variable"
    elif [[ "$target" != *::* && -z "${folder_of[$target]:-}" ]]; then
      refuse "${folder_of[$name]}/CMakeLists.txt: $name links $target, which no folder declares"
    fi
  done
done

# Every layer reached from a layer through its links, itself included only through a cycle.
declare -A below
for name in $names; do
  reached=" " todo="${links[$name]}"
  while [ -n "${todo// /}" ]; do
    read -r next todo <<<"$todo"
    [[ "$next" == *::* || -z "${folder_of[$next]:-}" || "$reached" == *" $next "* ]] && continue
    reached+="$next "
    todo+=" ${links[$next]}"
  done
  below[$name]=$reached
  [[ "$reached" == *" $name "* ]] &&
    refuse "${folder_of[$name]}/CMakeLists.txt: $name links back to itself through${reached% }"
done

# The layer of a file or of an included path, into `layer`: its own declaration, else the first
# of the nearest folder's. Builtins only: this runs for every include.
find_layer() {
  local path=$1 folder
  layer=${owner[$path]:-}
  [ -n "$layer" ] && return
  folder=$path
  while :; do
    [[ "$folder" == */* ]] && folder=${folder%/*} || folder=.
    layer=${first_of[$folder]:-}
    [ -n "$layer" ] || [ "$folder" = . ] && return
  done
}

# Into `library`, the target a library's headers need, "system" for the C and POSIX headers.
find_library() {
  case $1 in
    Q* | qt*) library="Qt6::" ;;
    nlohmann/*) library="nlohmann_json::nlohmann_json" ;;
    Eigen/*) library="Eigen3::Eigen" ;;
    fftw3.h) library="PkgConfig::FFTW3" ;;
    CLI/*) library="CLI11::CLI11" ;;
    sys/*.h | dirent.h | errno.h | fcntl.h | signal.h | unistd.h) library=system ;;
    */* | *.h) library="" ;;
    *) library=system ;;
  esac
}

declare -A checked
while IFS= read -r -d '' file; do
  checked[$file]=1
  find_layer "$file"
  if [ -z "$layer" ]; then
    refuse "$file: no CMakeLists.txt at or above its folder declares a layer"
  elif [[ "$file" == *.cpp && -z "${owner[$file]:-}" ]]; then
    refuse "$file: named in the SOURCES of no CMakeLists.txt"
  fi
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0')

include_pattern='^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^">]+)[">]'
while IFS= read -r line; do
  [[ "$line" =~ $include_pattern ]] || continue
  file=${BASH_REMATCH[1]#./} n=${BASH_REMATCH[2]} header=${BASH_REMATCH[4]}
  [ -n "${checked[$file]:-}" ] || continue
  find_layer "$file"
  [ -n "$layer" ] || continue
  own=$layer own_links=" ${links[$layer]} "
  if [ "${BASH_REMATCH[3]}" = '<' ]; then
    find_library "$header"
    if [ -z "$library" ]; then
      refuse "$file:$n: includes <$header>, a library this check does not know"
    elif [ "$library" != system ] && [[ "$own_links" != *" $library"* ]]; then
      refuse "$file:$n: includes <$header>, but $own does not link $library"
    fi
    continue
  fi
  find_layer "$header"
  if [ -z "$layer" ]; then
    refuse "$file:$n: includes \"$header\", which is in no declared layer"
  elif [ "$layer" != "$own" ] && [[ "$own_links" != *" $layer "* ]]; then
    if [[ "${below[$layer]:-}" == *" $own "* ]]; then
      refuse "$file:$n: includes \"$header\" of $layer, a layer above $own"
    else
      refuse "$file:$n: includes \"$header\", but $own does not link $layer"
    fi
  fi
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' . | sort -t: -k1,1 -k2,2n)
[ "$fail" = 0 ] && echo "every include is of a layer its folder links, and every link points down"
exit "$fail"
