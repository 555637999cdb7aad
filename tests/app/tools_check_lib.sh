# Checks shared by the scripts that read our output files with the formats' own tools.
# Sourced; each check sets fail=1 and says why when it does not hold.
fail=0

expect() {   # expect WHAT ACTUAL WANTED (letter case aside: tag names differ by writer)
  if [ "${2,,}" != "${3,,}" ]; then echo "$1: got '$2', want '$3'"; fail=1; fi
}

# check_flac FILE RAW TITLE ARTIST ALBUM: flac tests the file and decodes it to the bytes of
# RAW; metaflac reads the tags.
check_flac() {
  local f=$1 raw=$2
  [ -s "$f" ] || { echo "$f was not written"; fail=1; return; }
  flac -s -t "$f" || { echo "$f: flac -t failed"; fail=1; }
  flac -s -d -c --force-raw-format --endian=little --sign=signed "$f" >"$f.decoded"
  cmp -s "$f.decoded" "$raw" || { echo "$f: audio differs from the source"; fail=1; }
  expect "$f title" "$(metaflac --show-tag=TITLE "$f")" "TITLE=$3"
  expect "$f artist" "$(metaflac --show-tag=ARTIST "$f")" "ARTIST=$4"
  expect "$f album" "$(metaflac --show-tag=ALBUM "$f")" "ALBUM=$5"
}

tag() {   # tag NAME FILE: a format or stream tag, as ffprobe reads it
  { ffprobe -v error -show_entries "format_tags=$1" -of default=noprint_wrappers=1:nokey=1 "$2"
    ffprobe -v error -show_entries "stream_tags=$1" -of default=noprint_wrappers=1:nokey=1 "$2"
  } | grep -m1 . || true
}

# check_tags FILE TITLE ARTIST ALBUM: the tags as ffprobe reads them; an Ogg Vorbis file is
# checked by ogginfo as well.
check_tags() {
  local f=$1
  [ -s "$f" ] || { echo "$f was not written"; fail=1; return; }
  expect "$f title" "$(tag title "$f")" "$2"
  expect "$f artist" "$(tag artist "$f")" "$3"
  expect "$f album" "$(tag album "$f")" "$4"
  if [ "${f##*.}" = ogg ]; then
    ogginfo "$f" >"$f.ogginfo" 2>&1 || { echo "$f: ogginfo failed"; cat "$f.ogginfo"; fail=1; }
  fi
}
