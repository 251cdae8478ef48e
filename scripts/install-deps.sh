#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with.
# Safe to run again; does nothing when every package is already there.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
  libicu-dev sqlite3 libgtest-dev libbenchmark-dev
  gcc libc6-dev make dpkg-dev tcl
  clang libclang-rt-14-dev
  xauth xvfb python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The source of the installed SQLite, from which the build compiles our shell.
bash "$(dirname "$0")/sqlite-shell.sh" fetch
