#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds, and plays or tests.
#   ./setup.sh play    install what is missing, build, start the game on assets/
#   ./setup.sh test    install what is missing, build with sanitizers, run every test
#   ./setup.sh build   install what is missing and build (no run)
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-play}
shift || true

packages=(g++ cmake ninja-build pkg-config zlib1g-dev libpng-dev libjpeg-dev libopenjp2-7-dev
          libogg-dev libvorbis-dev libsqlite3-dev libsdl2-dev libgtest-dev libfreetype-dev
          vorbis-tools xvfb fonts-dejavu-core ccache)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" = 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "setup: these packages are missing; run this, then run this script again:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

jobs=$(nproc 2>/dev/null || echo 2)

case "$mode" in
  play|build)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELON_TESTS=OFF >/dev/null
    cmake --build build -j "$jobs"
    [ "$mode" = build ] && exit 0
    exec ./build/bin/tarvelon "$@"
    ;;
  test)
    cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVELON_SANITIZE=ON >/dev/null
    cmake --build build-test -j "$jobs"
    cd build-test
    exec ctest --output-on-failure -j "$jobs" --timeout 600 "$@"
    ;;
  *)
    echo "usage: $0 play|test|build" >&2
    exit 2
    ;;
esac
