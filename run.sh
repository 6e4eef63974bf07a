#!/usr/bin/env bash
# Set-up, build and run of the terrain editor on Debian/Ubuntu.
#   bash run.sh         install what is missing, build (Release), start the editor
#   bash run.sh test    the same set-up, then the whole test suite through CTest
# The build folder is ./build; the editor runs from there, next to textures/.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libgtk-3-dev libx11-dev
  libgl-dev libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  googletest libgtest-dev libbenchmark-dev libstb-dev zlib1g-dev
  clang libclang-rt-dev g++-mingw-w64-x86-64-posix
  imagemagick xvfb xdotool x11-utils xauth x11-xkb-utils libpng-dev
  wine wine64
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build
}

install_missing
build

case "${1:-run}" in
  run)
    cd build
    exec ./terrain-editor
    ;;
  test)
    cd build
    exec ctest --output-on-failure -j2 --timeout 600
    ;;
  *)
    echo "usage: bash run.sh [run|test]" >&2
    exit 2
    ;;
esac
