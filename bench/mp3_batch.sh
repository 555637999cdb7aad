#!/usr/bin/env bash
# MP3 encoding throughput of a batch with one job per processor, as ratios against the
# reference command-line encoder run natively on the same files (as many at once) and
# against the same batch with one job at a time. Run by `make bench`.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
wine="$top/scripts/wine --prefix=$top/build/wineprefix"
tool=$top/build/win/bin/mp3_batch_tool.exe
command -v lame >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq lame >/dev/null
files=${MP3_BENCH_FILES:-16}
seconds=${MP3_BENCH_SECONDS:-30}
cpus=$(nproc)
dir=$(mktemp -d "$top/build/mp3bench.XXXX")
trap 'rm -rf "$dir"' EXIT
winDir=$($wine winepath -w "$dir" 2>/dev/null | tr -d '\r')
$wine "$tool" generate "$winDir" "$files" "$seconds"

t0=$(date +%s.%N)
ls "$dir"/in*.wav | xargs -P "$cpus" -I{} lame --quiet -b 192 -m j -q 2 {} {}.ref.mp3
ref=$(awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { print a - b }')

read -r par failed < <($wine "$tool" encode "$winDir" "$files" "$cpus" | tr -d '\r')
read -r one failed1 < <($wine "$tool" encode "$winDir" "$files" 1 | tr -d '\r')
echo "files: $files x ${seconds}s stereo 44.1 kHz; jobs at once: $cpus"
printf 'reference encoder, %d at once: %.2f s\n' "$cpus" "$ref"
printf 'batch, %d jobs at once: %.2f s (%s failed)\n' "$cpus" "$par" "$failed"
printf 'batch, 1 job at a time: %.2f s\n' "$one"
awk -v r="$ref" -v p="$par" -v o="$one" 'BEGIN {
  printf "throughput ratio batch/reference: %.2f\n", r / p
  printf "throughput ratio parallel/serial batch: %.2f\n", o / p }'
