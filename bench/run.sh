#!/usr/bin/env bash
# Times `pelko-cli make` against the same build done with Info-ZIP zip
# (bench/infozip-make.sh) on a 1 MiB and a 20 MiB template, and against the
# physical limit -- reading the template's archive once and writing it once,
# durably: `cat T.jar > out && sync out` -- on those and a 200 MiB template
# (Info-ZIP is left out there: seven rewrites of 200 MiB take seconds). Also
# measures the peak memory.
#
#   bash bench/run.sh [RUNS]        # RUNS timed runs per command, default 5
#
# Builds pelko-cli (Release) in out-bench/, makes the templates once into
# out-bench/templates/ (remove that folder to make them anew) and leaves the
# results in out-bench/results/: hyperfine's JSON and Markdown per size and
# summary.txt.
set -euo pipefail

runs=${1:-5}
case $runs in '' | *[!0-9]*) echo "usage: $0 [RUNS]" >&2; exit 2 ;; esac

# The package reader's verdict, except that the benchmark's archives are by
# design larger than handsets install: that one warning is expected.
sound_package() {
  local report status=0
  report=$("$cli" inspect "$1") || status=$?
  printf '%s\n' "$report"
  [ "$status" -eq 0 ] && return 0
  ! printf '%s\n' "$report" | grep '^problem:' | grep -qv 'JARが51200バイトを超える'
}

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/out-bench
templates=$out/templates
results=$out/results
scratch=$out/scratch

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DPELKO_BUILD_APP=OFF -DPELKO_TESTS=OFF >/dev/null
cmake --build "$out" -j2 --target pelko-cli >/dev/null
cli=$out/bin/pelko-cli
infozip=$root/bench/infozip-make.sh

# name, MiB, small entries, whether the Info-ZIP script runs too
sizes=("bench-1mib 1 300 yes" "bench-20mib 20 1500 yes" "bench-200mib 200 1500 no")
control="bench-20mib-300 20 300 no"
for spec in "${sizes[@]}" "$control"; do
  read -r name mib small _ <<<"$spec"
  if [ ! -f "$templates/$name.jad" ] || [ ! -f "$templates/$name.jar" ]; then
    echo "== making $name =="
    bash "$root/bench/make-template.sh" "$templates" "$name" "$mib" "$small"
  fi
done

rm -rf "$scratch" && mkdir -p "$scratch" "$results"
{
  echo "date:      $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "cpu:       $(nproc) x $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
  echo "memory:    $(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
  echo "os:        $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r)"
  echo "load:      $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) at the start"
  echo "tools:     $("$cli" --version 2>&1 | head -1), libzip $(pkg-config --modversion libzip)," \
    "Info-ZIP Zip $(zip -v | sed -n 2p | awk '{ print $4 }'), $(hyperfine --version), $(g++ --version | head -1)"
} | tee "$results/machine.txt"
# The replacement files are given relative to the current directory.
cp "$templates"/new-* "$scratch/"
cd "$scratch"
files=(new-bg.png new-chara.png new-stage.dat)
title="Bench Game"  # what the template says, pelko-cli's default

pelko_make() {  # template output
  "$cli" make "$1" -o "$2" --set 1="${files[0]}" --set 2="${files[1]}" --set 3="${files[2]}"
}
infozip_make() {
  bash "$infozip" "$1" "$2" "$title" "" 0 "${files[@]}"
}

# Both must make the same package: the same descriptor apart from the
# archive's size, and entries with the same names, order and contents.
compare() {  # pelko.kjx infozip.kjx
  local a=$1 b=$2
  sound_package "$a" >"$a.inspect" || { echo "pelko-cli inspect finds problems in $a:" >&2; cat "$a.inspect" >&2; exit 1; }
  sound_package "$b" >"$b.inspect" || { echo "pelko-cli inspect finds problems in $b:" >&2; cat "$b.inspect" >&2; exit 1; }
  for f in "$a" "$b"; do
    # "KJX", header length, K, container name, D (2 bytes), J, descriptor name
    local header name_length descriptor_length
    header=$(od -An -tu1 -j3 -N1 "$f" | tr -d ' ')
    name_length=$(od -An -tu1 -j4 -N1 "$f" | tr -d ' ')
    descriptor_length=$(od -An -tu1 -j$((5 + name_length)) -N2 "$f" | awk '{ print $1 * 256 + $2 }')
    head -c $((header + descriptor_length)) "$f" | tail -c "$descriptor_length" | grep -av '^MIDlet-Jar-Size: ' >"$f.descriptor"
    tail -c +$((header + descriptor_length + 1)) "$f" >"$f.zip"
    unzip -Z1 "$f.zip" >"$f.entries"
    unzip -v "$f.zip" | awk '$1 ~ /^[0-9]+$/ && NF >= 8 { print $1, $7, $8 }' >"$f.crcs"
  done
  cmp -s "$a.descriptor" "$b.descriptor" || { echo "the descriptors differ:" >&2; diff -a "$a.descriptor" "$b.descriptor" >&2; exit 1; }
  cmp -s "$a.entries" "$b.entries" || { echo "the entry lists differ" >&2; diff "$a.entries" "$b.entries" | head >&2; exit 1; }
  cmp -s "$a.crcs" "$b.crcs" || { echo "the entry contents differ" >&2; diff "$a.crcs" "$b.crcs" | head >&2; exit 1; }
}

field_of() {  # json field index -> that field (mean, median, user, system; seconds) of the index-th command
  grep -o "\"$2\": *[0-9.eE+-]*" "$1" | sed -n "$3p" | sed 's/.*: *//'
}
peak_kib() {  # command... -> "Maximum resident set size" in KiB
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'
}

field_or_zero() {  # the same, or 0 when hyperfine did not run that command
  local value
  value=$(field_of "$@")
  echo "${value:-0}"
}

# name; wall means (pelko, cat, infozip); CPU means, user + system (pelko,
# cat, infozip); peak RSS (pelko, infozip). A 0 is a command that did not run.
row() {
  awk -v n="$1" -v pw="$2" -v cw="$3" -v zw="$4" -v pc="$5" -v cc="$6" -v zc="$7" -v pr="$8" -v zr="${9:-0}" '
    function ms(x) { return x > 0 ? sprintf("%9.1f", x * 1000) : sprintf("%9s", "-") }
    function ratio(a, b) { return a > 0 && b > 0 ? sprintf("%6.2f", a / b) : sprintf("%6s", "-") }
    BEGIN {
      printf "%-16s %s %s %s %s %s  %s %s %s  %9d %9s\n", n, ms(pw), ms(cw), ratio(pw, cw), ms(zw), ratio(zw, pw),
        ms(pc), ms(cc), ms(zc), pr, (zr > 0 ? zr : "-") }'
}
summary=$results/summary.txt
{
  printf '%-16s %-50s %-30s %s\n' "" "wall time (ms, median; ratios of the medians)" "CPU (ms, user+sys, mean)" "peak RSS (KiB)"
  printf '%-16s %9s %9s %6s %9s %6s  %9s %9s %9s  %9s %9s\n' template pelko-cli cat+sync p/cat infozip z/p \
    pelko-cli cat+sync infozip pelko-cli infozip
} >"$summary"
for spec in "${sizes[@]}"; do
  read -r name mib small with_infozip <<<"$spec"
  t=$templates/$name.jad
  jar=$templates/$name.jar
  echo "== $name: $(stat -c %s "$jar") bytes, $(unzip -Z1 "$jar" | wc -l) entries =="
  pelko_make "$t" "$scratch/pelko.kjx" >/dev/null
  commands=(
    -n pelko-cli "'$cli' make '$t' -o '$scratch/pelko.kjx' --set 1=${files[0]} --set 2=${files[1]} --set 3=${files[2]}"
    -n cat+sync "cat '$jar' > '$scratch/cat.out' && sync '$scratch/cat.out'"
  )
  if [ "$with_infozip" = yes ]; then
    infozip_make "$t" "$scratch/infozip.kjx"
    compare "$scratch/pelko.kjx" "$scratch/infozip.kjx"
    commands+=(-n infozip "bash '$infozip' '$t' '$scratch/infozip.kjx' '$title' '' 0 ${files[*]}")
  else
    sound_package "$scratch/pelko.kjx" >/dev/null || { echo "pelko-cli inspect finds problems in $name" >&2; exit 1; }
  fi

  # The three side by side in one run, so that they share the machine's state.
  json=$results/$name.json
  hyperfine --warmup 1 --runs "$runs" --export-json "$json" --export-markdown "$results/$name.md" "${commands[@]}"

  pelko_rss=$(peak_kib "$cli" make "$t" -o "$scratch/pelko.kjx" --set 1="${files[0]}" --set 2="${files[1]}" --set 3="${files[2]}")
  infozip_rss=0
  [ "$with_infozip" = yes ] && infozip_rss=$(peak_kib bash "$infozip" "$t" "$scratch/infozip.kjx" "$title" "" 0 "${files[@]}")
  cpu() { awk -v u="$(field_or_zero "$json" user "$1")" -v s="$(field_or_zero "$json" system "$1")" 'BEGIN { print u + s }'; }
  row "$name" "$(field_or_zero "$json" median 1)" "$(field_or_zero "$json" median 2)" "$(field_or_zero "$json" median 3)" \
    "$(cpu 1)" "$(cpu 2)" "$(cpu 3)" "$pelko_rss" "$infozip_rss" | tee -a "$summary"
done

# Peak memory only: as many entries as the small template, the bytes of the
# large one. Tells growth with the archive's bytes from growth with its entries.
read -r name mib small _ <<<"$control"
t=$templates/$name.jad
echo "== $name (memory only): $(stat -c %s "$templates/$name.jar") bytes, $(unzip -Z1 "$templates/$name.jar" | wc -l) entries =="
pelko_rss=$(peak_kib "$cli" make "$t" -o "$scratch/pelko.kjx" --set 1="${files[0]}" --set 2="${files[1]}" --set 3="${files[2]}")
infozip_rss=$(peak_kib bash "$infozip" "$t" "$scratch/infozip.kjx" "$title" "" 0 "${files[@]}")
row "$name" 0 0 0 0 0 0 "$pelko_rss" "$infozip_rss" | tee -a "$summary"

echo
echo "== summary (median wall time of $runs runs; pelko/cat: pelko-cli against reading and durably writing the archive" \
  "once (p/cat), the goal is at most 2; z/p = infozip / pelko-cli, above 1: pelko-cli is faster than the script) =="
cat "$summary"
