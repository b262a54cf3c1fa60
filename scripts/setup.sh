#!/usr/bin/env bash
# Installs the Debian packages BRANTEL needs, only those that are missing.
set -euo pipefail

# qt6-charts-dev draws the loading plots; its CMake package needs libqt6opengl6-dev, which it does
# not pull in itself. dpkg-dev and file: the run-time dependencies of the Debian package are found
# from the programs; desktop-file-utils checks its menu entry. python3: its JSON reader checks
# `brantel check --json`. libcli11-dev parses the command lines of every command, nlohmann-json3-dev
# writes their JSON. fonts-dejavu-core: the loading file viewer shows its records in a fixed-pitch
# font, and its test needs one installed. libfftw3-dev and libeigen3-dev: record processing's FFT and
# least squares (Eigen also solves spectral matching's systems).
# universal-ctags finds the functions whose length tests/layers/function_length.sh checks.
packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libgtest-dev
          libgmock-dev libbenchmark-dev gfortran xvfb dpkg-dev file desktop-file-utils python3
          libcli11-dev nlohmann-json3-dev fonts-dejavu-core libfftw3-dev libeigen3-dev pkgconf
          universal-ctags)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
