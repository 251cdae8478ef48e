#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests, packages and runs
# with, and the SQLite source our sqlite3 shell is compiled from. Safe to run
# again; installs nothing when every package is already there. Says what it
# does, one line per phase.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
  libicu-dev sqlite3 libxxhash-dev libgtest-dev libbenchmark-dev
  gcc libc6-dev make dpkg-dev tcl
  clang libclang-rt-14-dev
  xauth xvfb python3
  e2fsprogs xfsprogs btrfs-progs exfat-fuse exfatprogs ntfs-3g acl attr
  file librsvg2-bin desktop-file-utils appstream lintian
)
say() { echo "install-deps: $*"; }

say "checking ${#packages[@]} Debian packages"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  say "all installed already"
else
  say "missing ${#missing[@]}: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  say "updating the package lists"
  apt-get update -qq
  say "downloading them and what they depend on (a few minutes on a new machine)"
  apt-get install -y -qq --download-only --no-install-recommends "${missing[@]}"
  say "installing them"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The source of the installed SQLite, from which the build compiles our shell.
say "the SQLite source our sqlite3 shell is compiled from (fetched once)"
bash "$(dirname "$0")/sqlite-shell.sh" fetch
say "done"
