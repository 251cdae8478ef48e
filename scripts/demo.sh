#!/usr/bin/env bash
# Builds the utility and repairs a damaged sample library in a sandbox.
#   scripts/demo.sh          repair it with the terminal front end
#   scripts/demo.sh --gui    open the window on the same sample instead
# The sandbox (sandbox-demo/) has its own home, XDG_CONFIG_HOME and
# XDG_DATA_HOME, with Quillbox's preferences pointing at the sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
echo "demo: configuring the build in build/"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
echo "demo: building the programs (a minute or two the first time)"
cmake --build build -j2 --target quillbox-repair quillbox-repair-cli quillbox-set-library

sandbox=$PWD/sandbox-demo
shell=$PWD/build/libexec/quillbox-repair/sqlite3
library=$(SQLITE3=$shell bash scripts/make-sample-library.sh "$sandbox" 2000)
export HOME=$sandbox/home XDG_CONFIG_HOME=$sandbox/config XDG_DATA_HOME=$sandbox/data
build/bin/quillbox-set-library "$library"

# Reports on a scratch copy, so looking does not change the library.
state() {
  local scratch
  scratch=$(mktemp -d)
  cp -a "$library/." "$scratch/"
  echo "  integrity check: $("$shell" -init /dev/null -batch "$scratch/Library.sqlite" \
    'PRAGMA integrity_check' 2>&1 | head -3 | tr '\n' ' ')"
  for table in notebooks notes tags note_tags notes_search; do
    echo "  rows in $table: $("$shell" -init /dev/null -batch "$scratch/Library.sqlite" \
      "SELECT count(*) FROM $table" 2>&1 | head -1)"
  done
  echo "  files: $(cd "$library" && ls -A | tr '\n' ' ')"
  rm -rf "$scratch"
}

echo "Sample library: $library"
echo "Before the repair:"
state
if [[ "${1:-}" == "--gui" ]]; then
  build/bin/quillbox-repair
else
  status=0
  build/bin/quillbox-repair-cli || status=$?
  echo "quillbox-repair-cli exited with status $status"
fi
echo "After the repair:"
state
echo "Beside the library: $(cd "$(dirname "$library")" && ls -A | tr '\n' ';')"
