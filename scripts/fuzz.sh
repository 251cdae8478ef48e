#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, then runs each one for a bounded
# time on a scratch copy of its seed inputs in fuzz/corpus/<target>/, so the
# repository's corpus is never written to.
#   FUZZ_SECONDS=45        run time per target
#   FUZZ_BUILD_JOBS=2      parallel compile jobs
# Fails when any target crashes, hangs or breaks one of its checks; the input
# that did it is kept in build-fuzz/crashes/. Prints the executions each
# target ran.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

seconds=${FUZZ_SECONDS:-45}
targets=(fuzz-bookmark fuzz-sanitized-file-name fuzz-unique-file-name fuzz-c-string)

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLBOX_FUZZ=ON -DQUILLBOX_BUILD_TESTS=OFF -DQUILLBOX_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
crashes=$PWD/$build/crashes
mkdir -p "$crashes"
export ASAN_OPTIONS=abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
summary=()
for target in "${targets[@]}"; do
  corpus=$scratch/$target/corpus
  mkdir -p "$corpus" "$scratch/$target/tmp"
  cp fuzz/corpus/"$target"/* "$corpus"/
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$crashes/$target-")
  [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
  log=$scratch/$target/log
  echo "== $target: ${seconds} s"
  status=0
  # The targets make their scratch folders below TMPDIR.
  TMPDIR=$scratch/$target/tmp "$build/bin/$target" "${options[@]}" "$corpus" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if ((status != 0)); then
    tail -n 60 "$log"
    failed+=("$target")
    summary+=("$target: FAILED (exit status $status) after ${runs:-?} executions")
  else
    summary+=("$target: ${runs:-?} executions, no crash")
  fi
done

echo "== Fuzzing summary"
printf '  %s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "Crashing inputs are in $crashes/" >&2
  exit 1
fi
