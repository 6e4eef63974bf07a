#!/usr/bin/env bash
# Set-up, build and run of the terrain editor on Debian/Ubuntu.
#   bash run.sh         install what building and running need, build the
#                       editor, mapconvert and the texture pack (Release),
#                       start the editor
#   bash run.sh test    install everything the test suite needs as well,
#                       build every target, run the whole suite through CTest
# The build folder is ./build; the editor runs from there, next to textures/.
set -euo pipefail
cd "$(dirname "$0")"

# What the editor and mapconvert need to be built and to run: the compiler
# and build tools, SDL2 and GTK3, OpenGL/GLU/EGL (Mesa), libpng, and the
# header-only image writer the texture generator uses.
RUN_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libgtk-3-dev libx11-dev
  libgl-dev libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libpng-dev libstb-dev
)
# What only the test suite, the benchmarks, the fuzz targets, the Windows
# cross build and the packaging need: the Debian package's Depends
# (dpkg-shlibdeps, file) and its checks (lintian, desktop-file-validate,
# appstreamcli), the .exe's icon check (wrestool, icotool), and the
# regions walk's reader of copied ground (python3).
TEST_PACKAGES=(
  googletest libgtest-dev libbenchmark-dev zlib1g-dev
  clang libclang-rt-dev g++-mingw-w64-x86-64-posix
  imagemagick xvfb xdotool x11-utils xauth x11-xkb-utils
  wine wine64 strace python3
  dpkg-dev file lintian desktop-file-utils appstream icoutils
)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

case "${1:-run}" in
  run)
    install_missing "${RUN_PACKAGES[@]}"
    configure -DTERRAIN_BUILD_TESTS=OFF -DTERRAIN_BUILD_BENCH=OFF -DTERRAIN_BUILD_FUZZ=OFF
    cmake --build build --target terrain-editor mapconvert texture_pack
    cd build
    exec ./terrain-editor
    ;;
  test)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    configure -DTERRAIN_BUILD_TESTS=ON -DTERRAIN_BUILD_BENCH=ON -DTERRAIN_BUILD_FUZZ=ON
    cmake --build build
    cd build
    exec ctest --output-on-failure -j2 --timeout 600
    ;;
  *)
    echo "usage: bash run.sh [run|test]" >&2
    exit 2
    ;;
esac
