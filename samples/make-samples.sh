#!/usr/bin/env bash
# Regenerates the sample templates in this folder: block.jad/block.jar and
# puzzle.jad/puzzle.jar.
#
#   samples/make-samples.sh        (from any directory)
#
# Needs only what scripts/setup.sh installs: bash, coreutils, iconv, zip,
# unzip and the JDK (javac, java). The output is byte for byte the same on
# every run: fixed entry order, fixed time stamps and modes, no extra zip
# fields, and pictures written by our own PNG writer (tools/MakePng.java).
#
# Descriptors are CP932 (Windows-31J) with CR LF after every line, the way the
# templates were written on Japanese Windows. Archives are ZIP files whose
# first entry is META-INF/MANIFEST.MF.
set -euo pipefail

export TZ=UTC LC_ALL=C
umask 022

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tools=$here/tools
stamp='2007-01-01 00:00:00'

for cmd in iconv zip unzip javac java sha256sum; do
  if ! command -v "$cmd" >/dev/null 2>&1; then
    echo "make-samples: '$cmd' is missing; run scripts/setup.sh first" >&2
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/pelko-samples.XXXXXX")
trap 'rm -rf "$work"' EXIT

# write_cp932 FILE LINE...: the lines (given in UTF-8) as CP932, CR LF after
# each. iconv stops with an error on a character that CP932 cannot hold.
write_cp932() {
  local out=$1
  shift
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$out"
}

# write_ascii FILE LINE...: the lines as they are, CR LF after each.
write_ascii() {
  local out=$1
  shift
  printf '%s\r\n' "$@" >"$out"
}

# make_jar JAR ENTRY=SOURCE...: a ZIP archive holding each SOURCE file under
# the name ENTRY, in the order given (so the manifest goes first).
make_jar() {
  local jar=$1
  shift
  local root=$work/root-${jar%.jar}
  local entries=() pair entry source
  rm -rf "$root" "${work:?}/$jar"
  for pair in "$@"; do
    entry=${pair%%=*}
    source=${pair#*=}
    mkdir -p "$(dirname "$root/$entry")"
    cp "$source" "$root/$entry"
    chmod 644 "$root/$entry"
    entries+=("$entry")
  done
  find "$root" -exec touch -h -d "$stamp" {} +
  (cd "$root" && zip -q -X -D -9 "$work/$jar" "${entries[@]}")
}

# ---- ingredients -------------------------------------------------------

mkdir -p "$work/classes" "$work/png"
javac -Xlint:-options --release 8 -d "$work/classes" \
  "$tools/BlockMain.java" "$tools/PuzzleMain.java"
java "$tools/MakePng.java" "$work/png"

# ---- block: the falling-block game ---------------------------------------

write_ascii "$work/block-manifest.mf" \
  'Manifest-Version: 1.0' \
  'MIDlet-1: Block Game, /icon.png, BlockMain' \
  'MIDlet-Name: Block Game' \
  'MIDlet-Vendor: someone' \
  'MIDlet-Version: 1.0' \
  'MicroEdition-Profile: MIDP-2.0' \
  'MicroEdition-Configuration: CLDC-1.1'

make_jar block.jar \
  "META-INF/MANIFEST.MF=$work/block-manifest.mf" \
  "BlockMain.class=$work/classes/BlockMain.class" \
  "icon.png=$work/png/block-icon.png" \
  "back.png=$work/png/back.png"

# The size line is the one the template was written with; a build replaces
# it with the size of the archive it made.
write_cp932 "$work/block.jad" \
  'MIDlet-1: Block Game, /icon.png, BlockMain' \
  'MIDlet-Name: Block Game' \
  'MIDlet-Vendor: someone' \
  'MIDlet-Version: 1.0' \
  'MIDlet-Jar-URL: block.jar' \
  'MIDlet-Jar-Size: 19876' \
  'MIDlet-X-Copyright: ON' \
  'Pelko-Name: 落ち物ゲーム' \
  'Pelko-Speed: 速度,INT,3' \
  'Pelko-BackColor: 背景色,COLOR,16777215' \
  'Pelko-Sound: 効果音,BOOL,1' \
  'Pelko-MIDlet-Description: 説明,TEXT,FallingBlocks' \
  'Pelko-File: 背景画像,back.png'

# ---- puzzle: the sliding panel puzzle ------------------------------------

write_ascii "$work/puzzle-manifest.mf" \
  'Manifest-Version: 1.0' \
  'MIDlet-1: Panel Puzzle, /icon.png, PuzzleMain' \
  'MIDlet-Name: Panel Puzzle' \
  'MIDlet-Vendor: someone' \
  'MIDlet-Version: 1.2.0' \
  'MIDlet-Icon: /icon.png' \
  'MicroEdition-Profile: MIDP-2.0' \
  'MicroEdition-Configuration: CLDC-1.1'

make_jar puzzle.jar \
  "META-INF/MANIFEST.MF=$work/puzzle-manifest.mf" \
  "PuzzleMain.class=$work/classes/PuzzleMain.class" \
  "icon.png=$work/png/puzzle-icon.png" \
  "bg.png=$work/png/bg.png" \
  "chara.png=$work/png/chara.png"

puzzle_size=$(stat -c %s "$work/puzzle.jar")

write_cp932 "$work/puzzle.jad" \
  'Manifest-Version: 1.0' \
  'MIDlet-1: Panel Puzzle, /icon.png, PuzzleMain' \
  'MIDlet-Name: Panel Puzzle' \
  'MIDlet-Vendor: someone' \
  'MIDlet-Version: 1.2.0' \
  'MIDlet-Description: Slide the panels back into place' \
  'MIDlet-Icon: /icon.png' \
  'MIDlet-Jar-URL: puzzle.jar' \
  "MIDlet-Jar-Size: $puzzle_size" \
  'MicroEdition-Profile: MIDP-2.0' \
  'MicroEdition-Configuration: CLDC-1.1' \
  'Pelko-Name: スライドパズル' \
  'Pelko-Size: 盤の大きさ,INT,4' \
  'Pelko-TextColor: 文字色,COLOR,255' \
  'Pelko-Message: "Start message",TEXT,"Tap to start"' \
  'Pelko-File: 背景画像,bg.png' \
  'Pelko-File: キャラクター,chara.png'

# ---- check and install -----------------------------------------------------

for jar in block.jar puzzle.jar; do
  unzip -tqq "$work/$jar"
  first=$(unzip -Z1 "$work/$jar" | sed -n 1p)
  if [ "$first" != META-INF/MANIFEST.MF ]; then
    echo "make-samples: $jar starts with '$first', not the manifest" >&2
    exit 1
  fi
done

for f in block.jad block.jar puzzle.jad puzzle.jar; do
  cp "$work/$f" "$here/$f.new"
  chmod 644 "$here/$f.new"
  mv -f "$here/$f.new" "$here/$f"
done

(cd "$here" && sha256sum block.jad block.jar puzzle.jad puzzle.jar)
