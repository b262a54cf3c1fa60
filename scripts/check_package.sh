#!/usr/bin/env bash
# Packages a built folder as the Debian package and checks the package as a user would meet it:
# unpacked into a scratch root, the installed programs run from there, the manual page and the
# icon are in place, the menu entry validates, brantel-replay runs a scenario against the
# installed samples, and a start outside a working folder makes one from them.
#   scripts/check_package.sh BUILD_FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
scratch=$(mktemp -d /tmp/brantel-package.XXXXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

rm -f "$build"/brantel_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(ls "$build"/brantel_*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
[[ "$depends" == *libqt6widgets6* ]] || fail "Depends does not name the Qt widgets: $depends"
dpkg -x "$deb" "$scratch"
bin="$scratch/usr/bin"
share="$scratch/usr/share"

version=$(sed -n 's/^project(brantel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "package version is not $version"
# No display and no platform: both must be answered before Qt starts.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/brantel" --version)" = "brantel $version" ] ||
  fail "brantel --version does not print brantel $version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/brantel" --help | grep -q '^Usage: brantel' ||
  fail "brantel --help prints no usage"

desktop-file-validate "$share/applications/brantel.desktop" || fail "the desktop entry does not validate"
for size in 16 32 48 64 128 256; do
  [ -s "$share/icons/hicolor/${size}x${size}/apps/brantel.png" ] || fail "no ${size}px icon"
done
[ -s "$share/icons/hicolor/scalable/apps/brantel.svg" ] || fail "no scalable icon"
gzip -dc "$share/man/man1/brantel.1.gz" | grep -q '^\.TH BRANTEL 1' || fail "no manual page brantel(1)"

# `brantel check` of the installed program on the installed samples, without a display: the
# sample loading file is sound (exit 0, only the summary), a damaged copy names its line.
samples="$share/brantel/workspace/Dat"
check_out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/brantel" check \
            --geometry "$samples/frame.dat" "$samples/frame_three_cases.inc") ||
  fail "brantel check fails on the installed sample: $check_out"
[ "$check_out" = "brantel check: 1 file, 0 errors, 0 warnings" ] || fail "brantel check printed: $check_out"
sed '18s/ 1 12 / 1 13 /' "$samples/frame_three_cases.inc" >"$scratch/damaged.inc"
rc=0; check_out=$("$bin/brantel" check --geometry "$samples/frame.dat" "$scratch/damaged.inc") || rc=$?
[ "$rc" = 2 ] && [[ "$check_out" == *"damaged.inc:18: error: node 13 of case 1 is outside the model"* ]] ||
  fail "brantel check on a damaged copy exits $rc and prints: $check_out"

bash "$root/tests/scenarios/run_scenario.sh" "$bin/brantel-replay" \
     "$root/tests/scenarios/e2e_first_loading_file" "$share/brantel/workspace" >"$scratch/scenario.log" ||
  { cat "$scratch/scenario.log"; fail "the installed brantel-replay fails the scenario e2e_first_loading_file"; }

# Started where there is no Dat/, the installed program finds its samples beside itself.
mkdir "$scratch/home"
printf 'answer yes\nfile "analysis"\nin 108\npress 1\nin 101\npress 2\n' >"$scratch/offer.replay"
(cd "$scratch/home" && "$bin/brantel-replay" "$scratch/offer.replay" >/dev/null) ||
  fail "brantel-replay outside a working folder does not offer the samples"
cmp -s "$scratch/home/analysis/Dat/frame.dat" "$root/examples/workspace/Dat/frame.dat" ||
  fail "the working folder made from the installed samples lacks Dat/frame.dat"
echo "package check passed: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB, Depends: $depends"
