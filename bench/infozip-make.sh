#!/usr/bin/env bash
# The same build as `pelko-cli make`, done with Info-ZIP zip and the shell:
# the yardstick for the benchmark. Copies the template's archive into a
# fresh work directory, writes the composed manifest and updates it, then for
# each file option deletes the entry and stores the chosen file at the root,
# and finally writes the KJX header, the descriptor and the archive.
#
#   bash bench/infozip-make.sh TEMPLATE.jad OUTPUT TITLE AUTHOR COPYRIGHT(0|1) [FILE]...
#
# The FILEs are the values of the template's file options, in their order,
# relative to the current directory. Other options keep the value the
# template gives them. Option fields are plain comma lists (no quoted
# fields): enough for the benchmark's templates, not a general reader.
set -euo pipefail
export LC_ALL=C

[ $# -ge 5 ] || { echo "usage: $0 TEMPLATE.jad OUTPUT TITLE AUTHOR COPYRIGHT [FILE]..." >&2; exit 2; }
template=$1 output=$2 title=$3 author=$4 copyright=$5
shift 5
files=()
for f in "$@"; do files+=("$(realpath -e "$f")"); done

base=$(basename "$template" .jad)
jar=$(dirname "$template")/$base.jar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
archive=$base.tmp
cp "$jar" "$work/$archive"

# The template's lines, without their line ends.
mapfile -t lines < <(tr -d '\r' < "$template")

manifest=()
option_lines=()
file_entries=()
for line in "${lines[@]}"; do
  case $line in
    Pelko-*:*)
      key=${line#Pelko-}; key=${key%%:*}
      fields=${line#*:}; fields=${fields:1}
      IFS=, read -r label type value <<<"$fields"
      if [ "$key" = Name ]; then continue; fi
      if [ "$key" = File ]; then
        file_entries+=("${type##*/}")
      elif [ -n "$value" ]; then
        case $key in MIDlet-*) option_lines+=("$key: $value") ;; *) option_lines+=("Pelko-$key: $value") ;; esac
      fi
      continue ;;
    MIDlet-X-Copyright:\ * | MIDlet-Name:\ * | MIDlet-Vendor:\ * | MIDlet-Jar-Size:\ * | MIDlet-Jar-URL:\ *)
      continue ;;
  esac
  manifest+=("$line")
done
[ "$copyright" = 1 ] && manifest+=("MIDlet-X-Copyright: ON")
if [ ${#title} -ge 3 ] && [ ${#title} -le 24 ]; then manifest+=("MIDlet-Name: $title"); else manifest+=("MIDlet-Name: Pelko"); fi
if [ "$author" = rivo ]; then
  manifest+=("MIDlet-Vendor: rivo")
elif [ -n "$author" ] && [ ${#author} -le 19 ]; then
  manifest+=("MIDlet-Vendor: $author/rivo")
else
  manifest+=("MIDlet-Vendor: $(printf '\x96\xbc\x96\xb3\x82\xb5\x82\xb3\x82\xf1')/rivo")
fi
manifest+=("X-Powered-By: Rivo software")

cd "$work"
mkdir META-INF
printf '%s\r\n' "${manifest[@]}" > META-INF/MANIFEST.MF
zip -Xqu9 "$archive" META-INF/MANIFEST.MF
rm -r META-INF

for i in "${!file_entries[@]}"; do
  entry=${file_entries[$i]}
  source=${files[$i]:-}
  if [ -z "$source" ]; then echo "no file for $entry" >&2; continue; fi
  cp "$source" "$entry"
  zip -qd "$archive" "$entry" || [ $? -eq 12 ]  # 12: the entry was not there
  zip -Xqju9 "$archive" "$entry"
  rm "$entry"
done

descriptor=$work/descriptor
{
  printf 'MIDlet-Jar-Size: %s\r\nMIDlet-Jar-URL: %s\r\n' "$(stat -c %s "$archive")" "$base.jar"
  printf '%s\r\n' "${manifest[@]}"
  [ ${#option_lines[@]} -eq 0 ] || printf '%s\r\n' "${option_lines[@]}"
} > "$descriptor"

byte() { printf "\\$(printf %03o "$1")"; }
container=$base.kjx descriptor_name=$base.jad
length=$(stat -c %s "$descriptor")
cd - >/dev/null
{
  printf KJX
  byte $((8 + ${#container} + ${#descriptor_name}))
  byte ${#container}; printf %s "$container"
  byte $((length / 256)); byte $((length % 256))
  byte ${#descriptor_name}; printf %s "$descriptor_name"
  cat "$descriptor" "$work/$archive"
} > "$output.partial"
mv "$output.partial" "$output"
