#!/usr/bin/env bash
# Our encoders and decoders against the formats' reference tools on the same music-like input
# with the same settings: FLAC frames and the MP3 stream byte for byte; our FLAC, MP3 and WMA
# decoders' WAV output sample for sample against the reference decoders' on the tools' files.
# Not compared: our WMA encoder (its own stream layout over the same codec), our Vorbis decoder
# (it scales to 31000, not full scale) and our Vorbis encoder (libvorbis's floating point over
# another C library's maths does not give the same bits).
#   check_outputs_with_tools.sh WINE_WRAPPER TEST_PROGRAM.exe
set -euo pipefail
wine=$1 program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winwork="Z:${work//\//\\}"

fail=0
run() {      # run TEST
  SONORIA_TOOLS_SAME_AUDIO=$winwork "$wine" "$program" --gtest_filter="RipReferenceTools.$1" \
    >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
}
same() {     # same WHAT FILE FILE [TOLERANCE]: 16-bit samples equal, or within TOLERANCE
  python3 - "$@" <<'PY' || fail=1
import array, sys
what, x, y = sys.argv[1:4]
tolerance = int(sys.argv[4]) if len(sys.argv) > 4 else 0
a, b = open(x, 'rb').read(), open(y, 'rb').read()
if tolerance == 0:
    if a != b:
        at = next((i for i in range(min(len(a), len(b))) if a[i] != b[i]), min(len(a), len(b)))
        sys.exit(f"{what} differs from byte {at} (sizes {len(a)} and {len(b)})")
    sys.exit(0)
sa, sb = array.array('h', a[:len(a) // 2 * 2]), array.array('h', b[:len(b) // 2 * 2])
worst = max((abs(p - q) for p, q in zip(sa, sb)), default=0)
if len(sa) != len(sb) or worst > tolerance:
    sys.exit(f"{what} differs: {len(sa)} and {len(sb)} samples, largest difference {worst}")
PY
}
# The audio of a FLAC file: everything after its metadata blocks.
flac_frames() {
  python3 - "$1" "$2" <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()
assert b[:4] == b'fLaC'
at, last = 4, False
while not last:
    last = bool(b[at] & 0x80)
    at += 4 + int.from_bytes(b[at + 1:at + 4], 'big')
open(sys.argv[2], 'wb').write(b[at:])
PY
}
# The samples of a WAV file, as raw 16-bit little-endian.
pcm() { ffmpeg -v error -y -i "$1" -f s16le -acodec pcm_s16le "$2"; }

run EncodeForComparison
cd "$work"
flac -s -f -5 -b 4608 -r 3,3 -o ref.flac in.wav
oggenc -Q -q 4 -o ref.ogg in.wav
lame --quiet -t -b 192 -m j -q 2 in.wav ref.mp3
ffmpeg -v error -y -i in.wav -c:a wmav2 -b:a 128k ref.wma

flac_frames ours.flac ours.frames
flac_frames ref.flac ref.frames
same "FLAC frames" ours.frames ref.frames
same "MP3 stream" ours.mp3 ref.mp3

run DecodeForComparison
flac -s -f -d -o refdec_flac.wav ref.flac
lame --quiet --decode ref.mp3 refdec_mp3.wav
ffmpeg -v error -y -i ref.wma refdec_wma.wav
for ext in flac mp3 wma; do
  pcm "dec_$ext.wav" "dec_$ext.raw"
  pcm "refdec_$ext.wav" "refdec_$ext.raw"
done
same "FLAC decoded by us" dec_flac.raw refdec_flac.raw
# lame --decode leaves out the decoder's delay of 529 samples, which we deliver.
tail -c +$((529 * 4 + 1)) dec_mp3.raw > dec_mp3.trimmed
same "MP3 decoded by us" dec_mp3.trimmed refdec_mp3.raw
# The two turn the codec's floating-point output into 16 bits with different rounding.
same "WMA decoded by us" dec_wma.raw refdec_wma.raw 1
exit $fail
