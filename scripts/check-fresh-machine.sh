#!/usr/bin/env bash
# Tries the README on a new Debian 12 machine, as a new user would:
#  1. builds a pristine Debian 12 (bookworm) root in a scratch folder with
#     mmdebstrap, from this machine's own Debian sources (/etc/apt);
#  2. puts a clean clone of the current commit in it, in /root/quillbox-repair;
#  3. runs the README's two commands there, exactly as written:
#       bash scripts/demo.sh
#       bash scripts/test.sh
#  4. builds the Debian package there (bash scripts/package.sh), installs it
#     with apt-get into a second pristine root and repairs a sample library
#     with the installed quillbox-repair-cli.
# Fails when any step fails. Needs root. Every command inside a root runs in a
# mount namespace of its own, so /proc, /sys, /dev and the file systems the
# tests mount go away with it; the roots are removed at the end, whatever
# happened. Nothing is kept between runs.
#   FRESH_WORK=/var/tmp    where the scratch folder is made (needs ~6 GB)
set -euo pipefail
cd "$(dirname "$0")/.."
project=$PWD

say() { echo "fresh-machine [$(date +%T)]: $*"; }
fail() {
  say "FAILED: $*" >&2
  exit 1
}
((EUID == 0)) || fail "needs root: it builds Debian roots and runs commands in them"

timings=()
timed() { # timed LABEL COMMAND...: runs it, records how long it took
  local label=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  timings+=("$(printf '%-44s %4d s  %s' "$label" $((SECONDS - start)) \
    "$( ((status == 0)) && echo passed || echo "FAILED (exit status $status)")")")
  return "$status"
}

# The tools this check itself uses, installed as the project's other scripts do.
tools=()
command -v mmdebstrap >/dev/null || tools+=(mmdebstrap)
command -v git >/dev/null || tools+=(git)
if ((${#tools[@]})); then
  say "installing ${tools[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${tools[@]}" >/dev/null
fi

work=$(mktemp -d "${FRESH_WORK:-/var/tmp}/quillbox-fresh.XXXXXX")

# Processes still running inside a root (a daemon a test left behind) would
# keep its mounts alive: they are ended, then anything still mounted below
# the scratch folder is unmounted, then it is removed without crossing into
# any other file system.
cleanup() {
  local status=$? pid mounts
  trap - EXIT INT TERM
  set +e
  for pid in /proc/[0-9]*; do
    if [[ "$(readlink "$pid/root" 2>/dev/null)" == "$work"/* ]]; then
      kill -KILL "${pid#/proc/}" 2>/dev/null
    fi
  done
  mounts=$(awk -v w="$work/" 'index($5, w) == 1 { print $5 }' /proc/self/mountinfo | sort -r)
  for m in $mounts; do umount -l "$m" 2>/dev/null || true; done
  rm -rf --one-file-system "$work" || say "could not remove $work" >&2
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# This machine's Debian sources: the deb822 stanzas and one-line entries whose
# suites are all bookworm ones (bookworm, bookworm-updates, bookworm-security…).
# The deb-src entries that install-deps.sh adds are the project's, not the
# machine's: a new machine has none, so the root must get them the same way.
debian_sources() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$f" && "$f" != */quillbox-repair-deb-src.sources ]] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        keep = 0; seen = 0; out = ""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^[ \t]*#/) continue
          if ($i ~ /^Suites:/) {
            n = split(substr($i, 8), s, /[ \t]+/); keep = 1
            for (j = 1; j <= n; j++)
              if (s[j] != "") { seen = 1; if (s[j] !~ /^bookworm(-[a-z]+)?$/) keep = 0 }
          }
          out = out $i "\n"
        }
        if (keep && seen) printf "%s\n", out
      }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f "$f" && "$f" != */quillbox-repair-deb-src.list ]] || continue
    # deb [options] URI SUITE COMPONENTS…, as deb822 so both kinds mix.
    awk '$1 == "deb" || $1 == "deb-src" {
        i = 2
        if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
        if ($(i + 1) !~ /^bookworm(-[a-z]+)?$/) next
        printf "Types: %s\nURIs: %s\nSuites: %s\nComponents:", $1, $i, $(i + 1)
        for (j = i + 2; j <= NF && $j !~ /^#/; j++) printf " %s", $j
        printf "\n\n"
      }' "$f"
  done
}
debian_sources >"$work/debian.sources"
grep -q '^Suites:' "$work/debian.sources" || fail "no Debian 12 (bookworm) sources in /etc/apt"

say "building a pristine Debian 12 root from this machine's Debian sources"
timed "pristine Debian 12 root (mmdebstrap)" \
  mmdebstrap --quiet --variant=minbase --format=tar bookworm "$work/base.tar" "$work/debian.sources" ||
  fail "mmdebstrap could not build a Debian 12 root"

new_root() { # new_root DIR: a pristine root from the one built above
  mkdir "$1"
  tar -C "$1" --xattrs --xattrs-include='*' --numeric-owner -xpf "$work/base.tar"
  cp -L /etc/resolv.conf "$1/etc/resolv.conf"
}

# in_root DIR COMMAND: runs COMMAND with bash in DIR as root logs in there,
# with /proc, /sys and /dev of its own mount namespace and a tmpfs on /run.
in_root() {
  local root=$1 command=$2
  unshare --mount --propagation private -- /bin/bash -euc '
    root=$1
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=0755 tmpfs "$root/run"
    exec chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash \
      TERM="${TERM:-dumb}" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      /bin/bash -lc "$2"' in_root "$root" "$command"
}

say "root 1: a clean clone of $(git rev-parse --short HEAD) in /root/quillbox-repair"
new_root "$work/build-root"
git clone --quiet --no-checkout "$project" "$work/build-root/root/quillbox-repair"
git -C "$work/build-root/root/quillbox-repair" checkout --quiet --detach "$(git rev-parse HEAD)"

failed=()
for command in "bash scripts/demo.sh" "bash scripts/test.sh"; do
  say "root 1: $command"
  timed "root 1: $command" in_root "$work/build-root" "cd /root/quillbox-repair && $command" ||
    failed+=("$command")
done

say "root 1: bash scripts/package.sh"
deb=
if timed "root 1: bash scripts/package.sh" in_root "$work/build-root" \
  "cd /root/quillbox-repair && bash scripts/package.sh"; then
  deb=$(find "$work/build-root/root/quillbox-repair/build-package" -maxdepth 1 -name 'quillbox-repair_*.deb')
  [[ $(wc -l <<<"$deb") == 1 && -n "$deb" ]] || failed+=("package.sh made no single .deb")
else
  failed+=("bash scripts/package.sh")
fi

if [[ -n "$deb" ]]; then
  say "root 2: apt-get install ./$(basename "$deb") and a repair with the installed program"
  new_root "$work/package-root"
  cp "$deb" "$work/package-root/root/"
  cp scripts/make-sample-library.sh scripts/try-installed-package.sh "$work/package-root/root/"
  timed "root 2: install the .deb, repair a sample" in_root "$work/package-root" \
    "cd /root && bash try-installed-package.sh ./$(basename "$deb")" ||
    failed+=("the installed package")
fi

say "times"
printf '  %s\n' "${timings[@]}"
((${#failed[@]} == 0)) || fail "${failed[*]}"
say "passed: the README's two commands and the package work on a new Debian 12 machine"
