#!/usr/bin/env bash
# Installs what the project needs, builds everything and runs every test.
#   scripts/test.sh                 a normal build in build/
#   scripts/test.sh --sanitize      AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=build
flags=(-DCMAKE_BUILD_TYPE=Debug -DQUILLBOX_BUILD_BENCHMARKS=ON)
if [[ "${1:-}" == "--sanitize" ]]; then
  build=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DQUILLBOX_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$build" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" -j2 --output-on-failure
