#!/usr/bin/env bash
# Makes a benchmark template in DIR: NAME.jad (CP932, CR LF) beside NAME.jar,
# an archive of about MIB MiB with a realistic mix -- many small class and
# resource entries, a larger compressible data file and incompressible media
# that fills up to the size -- and three file options whose entries are at
# the archive's root, plus the three replacement files DIR/new-*.
#
#   bash bench/make-template.sh DIR NAME MIB SMALL_ENTRIES
#
# bench/run.sh makes bench-1mib (1 MiB, 300), bench-20mib (20, 1500),
# bench-200mib (200, 1500) and bench-20mib-300 (20, 300). At 200 MiB the
# level text is 50 MiB (12.5 MiB deflated) and the media about 186 MiB: most
# of the archive's bytes do not compress; making it takes about a minute.
set -euo pipefail

dir=$1 name=$2 mib=$3 small=$4
target=$((mib * 1024 * 1024))
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
tree=$(mktemp -d "$dir/tree.XXXXXX")
trap 'rm -rf "$tree"' EXIT

cp932() { iconv -f UTF-8 -t CP932; }
crlf() { sed 's/$/\r/'; }

# Descriptor lines also go into the manifest, as a template's author writes them.
midlet_lines() {
  cat <<LINES
MIDlet-1: Bench Game, /icon.png, com.example.bench.Main
MIDlet-Name: Bench Game
MIDlet-Vendor: someone
MIDlet-Version: 1.0
MicroEdition-Profile: MIDP-2.0
MicroEdition-Configuration: CLDC-1.1
LINES
}

# Random bytes that do not compress (pictures, sounds).
noise() { head -c "$1" /dev/urandom; }
# Text that compresses well (map and level data).
level_text() {
  local bytes=$1
  awk -v n="$bytes" -v word="${2:-tile}" 'BEGIN { srand(7); out = 0
    while (out < n) {
      line = sprintf("%d,%d,%s%02d,%d\n", out % 97, int(rand() * 64), word, int(rand() * 16), int(rand() * 4))
      if (out + length(line) > n) line = substr(line, 1, n - out)
      printf "%s", line; out += length(line)
    } }'
}
# A class-like file: constant pool names that repeat, plus code bytes that do not.
class_bytes() {
  local size=$1 i=$2
  printf '\xca\xfe\xba\xbe\x00\x00\x00\x32'
  local names=() k
  for ((k = 0; k < size / 160; k++)); do names+=("$k"); done
  printf 'java/lang/Object com/example/bench/C%04d javax/microedition/lcdui/Graphics ' "$i"
  printf 'drawImage setColor fillRect getWidth getHeight keyPressed paint run(I)V%.0s' "${names[@]}"
  noise $((size / 3))
}

cd "$tree"
mkdir -p META-INF com/example/bench res
midlet_lines | crlf > META-INF/MANIFEST.MF
list=(META-INF/MANIFEST.MF)

for ((i = 0; i < small; i++)); do
  size=$((400 + (i * 7919) % 2600))
  if ((i % 3 == 0)); then
    f=$(printf 'res/s%04d.png' "$i"); noise "$size" > "$f"
  else
    f=$(printf 'com/example/bench/C%04d.class' "$i"); class_bytes "$size" "$i" > "$f"
  fi
  list+=("$f")
done
noise 1200 > icon.png
noise 30000 > bg.png
noise 6000 > chara.png
level_text 60000 > stage.dat
level_text $((target / 4)) > res/map.txt
list+=(icon.png bg.png chara.png stage.dat res/map.txt)

jar=$dir/$name.jar
rm -f "$jar"
TZ=UTC zip -X -D -q -9 "$jar" "${list[@]}"
# Fill up to the size with a stored media file: its entry costs two headers
# and a directory record besides its bytes.
fill=$((target - $(stat -c %s "$jar") - 2 * 13 - 30 - 46 - 64))
if ((fill > 0)); then
  noise "$fill" > res/movie.bin
  TZ=UTC zip -X -D -q -9 "$jar" res/movie.bin
fi

{
  midlet_lines
  echo "MIDlet-Jar-URL: $name.jar"
  echo "MIDlet-Jar-Size: $(stat -c %s "$jar")"
  echo "Pelko-Name: ベンチマーク ${mib}MiB"
  echo "Pelko-File: 背景画像,bg.png"
  echo "Pelko-File: キャラクター,chara.png"
  echo "Pelko-File: ステージ,stage.dat"
} | cp932 | crlf > "$dir/$name.jad"

# The replacements a user picks: two pictures and new level data.
noise 100000 > "$dir/new-bg.png"
noise 20000 > "$dir/new-chara.png"
level_text 200000 cell > "$dir/new-stage.dat"

echo "$name: $(stat -c %s "$jar") bytes, $(unzip -Z1 "$jar" | wc -l) entries"
