#!/usr/bin/env bash
# Cross-builds the third-party libraries for MinGW from Debian's source packages.
# Output: $SONORIA_DEPS (default ~/.cache/sonoria-deps)/<recipe hash>/{include,lib,bin}.
# A second run with the same recipe reuses the folder. Prints the prefix on stdout.
set -Eeuo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
root=${SONORIA_DEPS:-$HOME/.cache/sonoria-deps}
hash=$(cat "$0" "$here/cmake/mingw-w64.cmake" | sha256sum | cut -c1-16)
prefix=$root/$hash
mkdir -p "$root"
# Several checkouts may build at once: one builder per recipe, the others wait and reuse.
exec 9>"$root/.lock-$hash"
flock 9
if [ -f "$prefix/.done" ]; then echo "$prefix"; exit 0; fi

jobs=$(nproc)
work=$root/work-$hash
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
log=$work/build.log
exec 3>&1 1>>"$log" 2>&1
trap 'echo "deps.sh failed; see $log" >&3; tail -n 30 "$log" >&3' ERR

toolchain=$here/cmake/mingw-w64.cmake
fetch() {   # fetch NAME: unpacks Debian's source of NAME, echoes its folder
  apt-get source --download-only "$1" >/dev/null 2>&1
  local dsc; dsc=$(ls "$1"_*.dsc | head -n1)
  dpkg-source --no-check -x "$dsc" "src-$1" >/dev/null
  echo "$work/src-$1"
}
cmake_build() {   # cmake_build SRC [cmake args...]
  local src=$1; shift
  cmake -S "$src" -B "$src/_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build "$src/_build" -j "$jobs"
  cmake --install "$src/_build"
}

ogg=$(fetch libogg)
cmake_build "$ogg" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF

vorbis=$(fetch libvorbis)
cmake_build "$vorbis" -DOGG_ROOT="$prefix" -DBUILD_TESTING=OFF

flac=$(fetch flac)
# No stack protector or FORTIFY: otherwise every user of the static library needs -lssp.
cmake_build "$flac" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
  -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DBUILD_CXXLIBS=OFF -DWITH_OGG=ON \
  -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF -DCMAKE_C_FLAGS="-U_FORTIFY_SOURCE"

touch "$prefix/.done"
rm -rf "$work"
echo "$prefix" >&3
