#!/usr/bin/env bash
# Builds libogg, libvorbis and libFLAC natively from the same Debian sources as deps.sh, with
# AddressSanitizer and libFuzzer's coverage instrumentation, so that their parsing is covered by
# the fuzz targets and their memory use checked.
# Output: $SONORIA_DEPS (default ~/.cache/sonoria-deps)/native-<recipe hash>/{include,lib}.
# A second run with the same recipe reuses the folder. Prints the prefix on stdout.
set -Eeuo pipefail

root=${SONORIA_DEPS:-$HOME/.cache/sonoria-deps}
hash=$(sha256sum < "$0" | cut -c1-16)
prefix=$root/native-$hash
mkdir -p "$root"
exec 9>"$root/.lock-native-$hash"
flock 9
if [ -f "$prefix/.done" ]; then echo "$prefix"; exit 0; fi

jobs=$(nproc)
work=$root/work-native-$hash
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
log=$work/build.log
exec 3>&1 1>>"$log" 2>&1
trap 'echo "deps-native.sh failed; see $log" >&3; tail -n 30 "$log" >&3' ERR

# AddressSanitizer and libFuzzer's coverage, as the check build (cmake/Sonoria.cmake). UBSan
# is left out here: these libraries' encoders rely on behaviour the standard leaves undefined
# (libFLAC adds 0 to a null pointer, libvorbis shifts negative values and indexes one past an
# inner array in psy.c), which would stop every encode without saying anything about parsing.
flags="-fsanitize=address -fno-omit-frame-pointer -fsanitize=fuzzer-no-link -g -O1"

fetch() {   # fetch NAME: unpacks Debian's source of NAME, echoes its folder
  apt-get source --download-only "$1" >/dev/null 2>&1
  local dsc; dsc=$(ls "$1"_*.dsc | head -n1)
  dpkg-source --no-check -x "$dsc" "src-$1" >/dev/null
  echo "$work/src-$1"
}
cmake_build() {   # cmake_build SRC [cmake args...]
  local src=$1; shift
  cmake -S "$src" -B "$src/_build" -G Ninja -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build "$src/_build" -j "$jobs"
  cmake --install "$src/_build"
}

ogg=$(fetch libogg)
cmake_build "$ogg" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF

vorbis=$(fetch libvorbis)
cmake_build "$vorbis" -DOGG_ROOT="$prefix" -DBUILD_TESTING=OFF

flac=$(fetch flac)
cmake_build "$flac" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
  -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DBUILD_CXXLIBS=OFF -DWITH_OGG=ON \
  -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF

touch "$prefix/.done"
rm -rf "$work"
echo "$prefix" >&3
