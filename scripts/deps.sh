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
# Release is -O3. Not -ffast-math, which libvorbis's own build adds: it changes the encoded
# and the decoded audio. libvorbis rounds through floor() in its inner loops; MinGW's floor is
# a slow call where the reference build gets the C library's fast one. This inline floor is
# exact, so the output keeps its bits.
cat > "$work/vorbis_floor.h" <<'EOF_FLOOR'
#include <math.h>
static inline double vorbis_inline_floor(double x)
{
    if (!(fabs(x) < 4503599627370496.0) || x == 0) /* integral already, NaN, or a signed zero */
        return x;
    double t = (double)(long long)x;
    return t > x ? t - 1.0 : t;
}
#define floor(x) vorbis_inline_floor(x)
EOF_FLOOR
cmake_build "$vorbis" -DOGG_ROOT="$prefix" -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="-include $work/vorbis_floor.h"

flac=$(fetch flac)
# No stack protector or FORTIFY: otherwise every user of the static library needs -lssp.
# Release is -O3; libFLAC's SSE/AVX code is in (its headers detect x86-64) and chosen at run
# time by CPUID, as in the reference build.
cmake_build "$flac" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
  -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DBUILD_CXXLIBS=OFF -DWITH_OGG=ON \
  -DWITH_STACK_PROTECTOR=OFF -DWITH_FORTIFY_SOURCE=OFF -DCMAKE_C_FLAGS="-U_FORTIFY_SOURCE"

lame=$(fetch lame)
# LAME's own optimisation flags, less -ffast-math: that one changes the encoded bytes, and the
# reference encoder is built without it.
lameflags="-O3 -fomit-frame-pointer -funroll-loops -pipe"
(cd "$lame" &&
  ./configure --host=x86_64-w64-mingw32 --prefix="$prefix" --disable-frontend --disable-shared \
    --enable-static CC=x86_64-w64-mingw32-gcc-posix CFLAGS="$lameflags" &&
  make -j "$jobs" && make install)
# The decoder's own headers, for our mpglib.dll (runtime/mpglib) over LAME's decoder.
mkdir -p "$prefix/include/lame-mpglib"
cp "$lame"/mpglib/*.h "$lame/config.h" "$prefix/include/lame-mpglib/"
# lame_enc.dll from LAME's own DLL source. Its error message box would hang a test run;
# its <Windef.h> include needs a lower-case shim on a case-sensitive file system.
mkdir -p "$lame/shim" "$prefix/bin"
echo '#include <windef.h>' > "$lame/shim/Windef.h"
sed -i 's/MessageBoxA(NULL,strErr,"LAME_ENC.DLL",MB_OK|MB_ICONHAND);/(void)strErr;/' \
  "$lame/Dll/BladeMP3EncDLL.c"
grep -q '(void)strErr;' "$lame/Dll/BladeMP3EncDLL.c"
x86_64-w64-mingw32-gcc-posix $lameflags -shared -o "$prefix/bin/lame_enc.dll" \
  "$lame/Dll/BladeMP3EncDLL.c" "$lame/Dll/BladeMP3EncDLL.def" -I "$lame/Dll" -I "$lame/shim" \
  -I "$lame/include" -L "$prefix/lib" -lmp3lame -static-libgcc -static

# FFmpeg: only the WMA codecs and the ASF container, for our wmvcore.dll.
ffmpeg=$(fetch ffmpeg)
(cd "$ffmpeg" &&
  ./configure --prefix="$prefix" --arch=x86_64 --target-os=mingw32 \
    --cross-prefix=x86_64-w64-mingw32- --cc=x86_64-w64-mingw32-gcc-posix \
    --enable-static --disable-shared --disable-programs --disable-doc --disable-debug \
    --disable-everything --disable-autodetect --enable-w32threads --disable-network \
    --enable-encoder=wmav1,wmav2 --enable-decoder=wmav1,wmav2 \
    --enable-muxer=asf --enable-demuxer=asf --enable-protocol=file \
    --enable-avcodec --enable-avformat --enable-avutil --enable-swresample \
    --disable-avdevice --disable-avfilter --disable-swscale --disable-postproc &&
  make -j "$jobs" && make install)

touch "$prefix/.done"
rm -rf "$work"
echo "$prefix" >&3
