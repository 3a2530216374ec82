#!/usr/bin/env bash
# Regenerates the sample templates in this folder: block.jad/block.jar and
# puzzle.jad/puzzle.jar with the default files of their File options
# (back.png; bg.png and chara.png), and the worked-example template that the
# tests keep in tests/fixtures/worked-example/.
#
#   samples/make-samples.sh        (from any directory)
#
# Needs only what scripts/setup.sh installs: bash, coreutils, iconv, zip,
# unzip and the JDK (javac, javap, java). The output is byte for byte the same
# on every run: fixed entry order, fixed time stamps and modes, no extra zip
# fields, and pictures written by our own PNG writer (tools/MakePng.java).
#
# The main classes are real MIDP 2.0 / CLDC 1.1 applications. They compile
# against tools/midp-api, the handset classes reduced to what the samples
# call; that API is only on the class path and never goes into an archive.
#
# Descriptors are CP932 (Windows-31J) with CR LF after every line, the way the
# templates were written on Japanese Windows. Archives are ZIP files whose
# first entry is META-INF/MANIFEST.MF.
set -euo pipefail

export TZ=UTC LC_ALL=C
umask 022

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tools=$here/tools
fixture=$here/../tests/fixtures/worked-example
stamp='2007-01-01 00:00:00'

for cmd in iconv zip unzip javac javap java sha256sum; do
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

# What the sample classes may call outside javax.microedition: the CLDC 1.1
# classes and members they use today. javac compiles against the desktop
# library, which has far more (StringBuilder above all, which "+" on strings
# turns into), so every reference the class files make into java.* must be
# one of these. Add a line only after making sure that CLDC 1.1 has it.
cldc_allowed='java/io/IOException
java/lang/IllegalArgumentException
java/lang/Integer
java/lang/Integer.parseInt:(Ljava/lang/String;)I
java/lang/Integer.toHexString:(I)Ljava/lang/String;
java/lang/InterruptedException
java/lang/Math
java/lang/Math.max:(II)I
java/lang/Math.min:(II)I
java/lang/NumberFormatException
java/lang/Object
java/lang/Object."<init>":()V
java/lang/Runnable
java/lang/String
java/lang/String.charAt:(I)C
java/lang/String.equals:(Ljava/lang/Object;)Z
java/lang/String.length:()I
java/lang/String.substring:(I)Ljava/lang/String;
java/lang/String.toUpperCase:()Ljava/lang/String;
java/lang/String.trim:()Ljava/lang/String;
java/lang/String.valueOf:(I)Ljava/lang/String;
java/lang/StringBuffer
java/lang/StringBuffer."<init>":()V
java/lang/StringBuffer."<init>":(Ljava/lang/String;)V
java/lang/StringBuffer.append:(C)Ljava/lang/StringBuffer;
java/lang/StringBuffer.append:(I)Ljava/lang/StringBuffer;
java/lang/StringBuffer.append:(Ljava/lang/String;)Ljava/lang/StringBuffer;
java/lang/StringBuffer.length:()I
java/lang/StringBuffer.setLength:(I)V
java/lang/StringBuffer.toString:()Ljava/lang/String;
java/lang/System
java/lang/System.arraycopy:(Ljava/lang/Object;ILjava/lang/Object;II)V
java/lang/Thread
java/lang/Thread."<init>":(Ljava/lang/Runnable;)V
java/lang/Thread.currentThread:()Ljava/lang/Thread;
java/lang/Thread.sleep:(J)V
java/lang/Thread.start:()V
java/util/Random
java/util/Random."<init>":()V
java/util/Random.nextInt:(I)I
java/util/Vector
java/util/Vector."<init>":()V
java/util/Vector.addElement:(Ljava/lang/Object;)V
java/util/Vector.elementAt:(I)Ljava/lang/Object;
java/util/Vector.size:()I'

# check_handset_classes CLASS...: stops when a class file refers to a java.*
# class or member that is not in cldc_allowed.
check_handset_classes() {
  local used unknown
  used=$(for class in "$@"; do javap -v "$class"; done |
    sed -n 's/^ *#[0-9]* = \(Class\|Methodref\|InterfaceMethodref\|Fieldref\) .*\/\/ *//p' |
    grep '^java/' | sort -u)
  unknown=$(comm -23 <(printf '%s\n' "$used") <(printf '%s\n' "$cldc_allowed" | sort -u))
  if [ -n "$unknown" ]; then
    echo "make-samples: the sample classes use what handsets may not have:" >&2
    printf '%s\n' "$unknown" | sed 's/^/  /' >&2
    exit 1
  fi
}

mkdir -p "$work/api" "$work/classes" "$work/png"
javac_flags=(-Xlint:all,-options,-serial -Werror --release 8 -encoding UTF-8)
javac "${javac_flags[@]}" -d "$work/api" $(find "$tools/midp-api" -name '*.java' | sort)
javac "${javac_flags[@]}" -classpath "$work/api" -d "$work/classes" \
  "$tools/BlockMain.java" "$tools/BlockCanvas.java" \
  "$tools/PuzzleMain.java" "$tools/PuzzleCanvas.java"
check_handset_classes "$work"/classes/*.class
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

block_entries=(
  "BlockMain.class=$work/classes/BlockMain.class"
  "BlockCanvas.class=$work/classes/BlockCanvas.class"
  "icon.png=$work/png/block-icon.png"
  "back.png=$work/png/back.png"
)
make_jar block.jar "META-INF/MANIFEST.MF=$work/block-manifest.mf" "${block_entries[@]}"

# block_descriptor FILE LINE...: the block template's descriptor with the
# given lines after its MIDlet-Version line. The size line is the one the
# template was written with; a build replaces it with the size of the archive
# it made.
block_descriptor() {
  local out=$1
  shift
  write_cp932 "$out" \
    'MIDlet-1: Block Game, /icon.png, BlockMain' \
    'MIDlet-Name: Block Game' \
    'MIDlet-Vendor: someone' \
    'MIDlet-Version: 1.0' \
    "$@" \
    'MIDlet-Jar-URL: block.jar' \
    'MIDlet-Jar-Size: 19876' \
    'MIDlet-X-Copyright: ON' \
    'Pelko-Name: 落ち物ゲーム' \
    'Pelko-Speed: 速度,INT,3' \
    'Pelko-BackColor: 背景色,COLOR,16777215' \
    'Pelko-Sound: 効果音,BOOL,1' \
    'Pelko-MIDlet-Description: 説明,TEXT,FallingBlocks' \
    'Pelko-File: 背景画像,back.png'
}

# The sample carries what its archive's manifest declares about the handset,
# so the manifest a build writes in its place still says it.
block_descriptor "$work/block.jad" \
  'MicroEdition-Profile: MIDP-2.0' \
  'MicroEdition-Configuration: CLDC-1.1'

# ---- the worked example: block as first written ----------------------------

# The block template's thirteen lines without the MicroEdition lines, which
# the tests keep as the worked example whose manifest, descriptor and log they
# pin byte for byte. Its archive's manifest declares nothing that those lines
# leave out, so a build of it loses nothing either.
write_ascii "$work/worked-manifest.mf" \
  'Manifest-Version: 1.0' \
  'MIDlet-1: Block Game, /icon.png, BlockMain' \
  'MIDlet-Name: Block Game' \
  'MIDlet-Vendor: someone' \
  'MIDlet-Version: 1.0'

make_jar worked.jar "META-INF/MANIFEST.MF=$work/worked-manifest.mf" "${block_entries[@]}"
block_descriptor "$work/worked.jad"

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
  "PuzzleCanvas.class=$work/classes/PuzzleCanvas.class" \
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

# check_descriptor JAD: stops unless every line is "Name: value" with a name
# of letters, digits, "-" and "_" and a value that is not empty, and the
# attributes handsets require are there: MIDlet-Name, MIDlet-Vendor,
# MIDlet-Version (one to three dot-separated numbers), MIDlet-1,
# MIDlet-Jar-URL and MIDlet-Jar-Size (a number). Apart from the template's own
# "Pelko-" lines, which a build drops, no name may occur twice.
check_descriptor() {
  iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' | awk -v jad="${1##*/}" '
    function fail(why) { printf "make-samples: %s line %d: %s\n", jad, NR, why > "/dev/stderr"; bad = 1 }
    !/^[A-Za-z0-9_-]+: / { fail("not \"Name: value\": " $0); next }
    {
      name = substr($0, 1, index($0, ":") - 1)
      value = substr($0, length(name) + 3)
      if (value !~ /[^ \t]/) fail(name " has no value")
      if (name !~ /^Pelko-/ && seen[name]++) fail(name " occurs twice")
      if (name == "MIDlet-Version" && value !~ /^[0-9]+(\.[0-9]+)?(\.[0-9]+)?$/) fail("MIDlet-Version " value)
      if (name == "MIDlet-Jar-Size" && value !~ /^[0-9]+$/) fail("MIDlet-Jar-Size " value)
    }
    END {
      split("MIDlet-Name MIDlet-Vendor MIDlet-Version MIDlet-1 MIDlet-Jar-URL MIDlet-Jar-Size", required, " ")
      for (i in required) if (!(required[i] in seen)) { printf "make-samples: %s has no %s\n", jad, required[i] > "/dev/stderr"; bad = 1 }
      exit bad
    }'
}

for jad in block.jad puzzle.jad worked.jad; do
  check_descriptor "$work/$jad"
done

for jar in block.jar puzzle.jar worked.jar; do
  unzip -tqq "$work/$jar"
  first=$(unzip -Z1 "$work/$jar" | sed -n 1p)
  if [ "$first" != META-INF/MANIFEST.MF ]; then
    echo "make-samples: $jar starts with '$first', not the manifest" >&2
    exit 1
  fi
done
# The JDK's own archive reader, which handsets' installers resemble most:
# it must read every manifest and entry and have nothing to say.
java "$tools/CheckJar.java" "$work/block.jar" "$work/puzzle.jar" "$work/worked.jar"

# The files the samples' File options name by default lie beside them: the
# archives' own pictures, so that a build that keeps the defaults copies
# each one without a word and the package shows what the template shows.
cp "$work/png/back.png" "$work/back.png"
cp "$work/png/bg.png" "$work/bg.png"
cp "$work/png/chara.png" "$work/chara.png"

for f in block.jad block.jar puzzle.jad puzzle.jar back.png bg.png chara.png; do
  cp "$work/$f" "$here/$f.new"
  chmod 644 "$here/$f.new"
  mv -f "$here/$f.new" "$here/$f"
done

mkdir -p "$fixture"
for f in block.jad block.jar; do
  cp "$work/worked.${f#block.}" "$fixture/$f.new"
  chmod 644 "$fixture/$f.new"
  mv -f "$fixture/$f.new" "$fixture/$f"
done

(cd "$here" && sha256sum block.jad block.jar puzzle.jad puzzle.jar back.png bg.png chara.png)
(cd "$fixture" && sha256sum block.jad block.jar | sed 's|  |  worked-example/|')
