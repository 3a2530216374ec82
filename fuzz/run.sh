#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into out-fuzz/ and runs each one for
# SECONDS (default 30) on its own copy of the seed corpus. Exits non-zero when
# a target crashes, hangs, leaks or gets a sanitizer report; the input that
# did it is left in out-fuzz/artifacts/.
#
#   bash fuzz/run.sh [SECONDS]
#
# Nothing is written into the source tree: the corpora grow in
# out-fuzz/corpus/<target>/, seeded from fuzz/corpus/ on every run.
set -euo pipefail

seconds=${1:-30}
case $seconds in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/out-fuzz

bash "$root/scripts/setup.sh"

# A binary directory once configured with another compiler would keep it.
if [ -f "$out/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' "$out/CMakeCache.txt"; then
  rm -rf "$out/CMakeCache.txt" "$out/CMakeFiles"
fi
(cd "$root" && cmake --preset fuzz >/dev/null)

targets=(fuzz_descriptor)
if [ -f "$root/package/checks/Inspect.h" ]; then
  targets+=(fuzz_inspect)
else
  echo "fuzz: package/checks/Inspect.h is not there yet; fuzz_inspect skipped" >&2
fi
targets+=(fuzz_build)
cmake --build "$out" -j2 --target "${targets[@]}"

# Seeds: the committed ones, plus for the package reader the sample templates
# made into packages by the command line, when it is there.
mkdir -p "$out/corpus" "$out/artifacts" "$out/logs"
for target in "${targets[@]}"; do
  seeds=$root/fuzz/corpus/${target#fuzz_}
  mkdir -p "$out/corpus/$target"
  for seed in "$seeds"/*; do
    [ -e "$seed" ] || continue
    [ -e "$out/corpus/$target/${seed##*/}" ] || cp "$seed" "$out/corpus/$target/"
  done
done
# The build target starts from the sample templates' archives.
for jar in "$root"/samples/*.jar; do
  [ -e "$out/corpus/fuzz_build/${jar##*/}" ] || cp "$jar" "$out/corpus/fuzz_build/"
done
if [[ " ${targets[*]} " == *" fuzz_inspect "* ]] && [ -f "$root/cli/main.cpp" ]; then
  cmake --build "$out" -j2 --target pelko-cli
  for template in "$out"/bin/*.jad; do
    name=$(basename "$template" .jad)
    "$out/bin/pelko-cli" make "$template" -o "$out/corpus/fuzz_inspect/sample-$name.kjx" \
      --title "Fuzz seed" --author fuzz >"$out/logs/seed-$name.log" 2>&1 || {
      echo "fuzz: pelko-cli could not make a seed from $name.jad:" >&2
      cat "$out/logs/seed-$name.log" >&2
      exit 1
    }
  done
fi

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for target in "${targets[@]}"; do
  log=$out/logs/$target.log
  echo "== $target: ${seconds}s on $(ls "$out/corpus/$target" | wc -l) inputs =="
  status=0
  "$out/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" \
    "$out/corpus/$target" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    echo "FAILED (exit $status); report:" >&2
    grep -nE -A40 'ERROR: |runtime error:|deadly signal' "$log" | head -80 >&2
    ls -t "$out/artifacts/$target-"* 2>/dev/null | head -3 | sed 's/^/  input: /' >&2
    failed+=("$target")
  else
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' "$log"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: failed: ${failed[*]} (logs in out-fuzz/logs/)" >&2
  exit 1
fi
echo "fuzz: no findings"
