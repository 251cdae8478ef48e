#!/usr/bin/env bash
# The sqlite3 shell the repair runs, built from Debian 13's source package of
# SQLite (3.46.1, with Debian's security fixes), whatever SQLite the machine
# has installed. Debian's own shell links Debian's library, which lacks the
# sqlite_dbpage table that the shell's .recover needs; ours carries SQLite
# inside it, compiled with Debian's options plus that table and STAT4, and
# without what a crafted library could use against its user: no .shell or
# .system, no extensions loaded at run time. sqlite-shell.patch makes .dump
# and .recover print only the first statement of each schema entry, as
# SQLite itself reads it, and gives a standard input or output that is not a
# terminal a 1 MiB buffer.
#
#   scripts/sqlite-shell.sh fetch      download the source package into the
#                                      cache through an apt configuration of
#                                      our own there (/etc/apt is left alone),
#                                      verified as apt verifies every source
#                                      (install-deps.sh runs it)
#   scripts/sqlite-shell.sh source     print the folder of the unpacked
#                                      source (its test/ holds SQLite's corpus
#                                      of malformed databases)
#   scripts/sqlite-shell.sh build OUT  put the shell at OUT, compiling it only
#                                      when the cache has none for this source
#                                      version and these options
#
# The cache is $QUILLBOX_CACHE_DIR, by default ~/.cache/quillbox-repair, shared
# by every build folder, so a new build folder does not compile SQLite again.
set -euo pipefail

cache=${QUILLBOX_CACHE_DIR:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/quillbox-repair}

# The SQLite our shell is built from: Debian 13's source package, this
# version when the archive still serves it, else the newest Debian revision
# of the same upstream release (a later security fix).
source_package=sqlite3
pinned_version=3.46.1-7+deb13u2
upstream_version=3.46.1
debian_release=trixie

# Debian 13's build of 3.46.1 (debian/rules and the configure switches it
# passes), less what a crafted library could turn against its user, then
# what the repair needs on top: the sqlite_dbpage table for .recover, and
# STAT4, without which the dump of a library analysed by an SQLite with STAT4
# cannot be loaded (it has no sqlite_stat4 to fill).
options=(
  -DSQLITE_SECURE_DELETE
  -DSQLITE_ENABLE_COLUMN_METADATA
  -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS
  -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5
  -DSQLITE_ENABLE_RTREE=1
  -DSQLITE_SOUNDEX=1
  -DSQLITE_ENABLE_UNLOCK_NOTIFY
  -DSQLITE_OMIT_LOOKASIDE=1
  -DSQLITE_ENABLE_DBSTAT_VTAB
  -DSQLITE_ALLOW_ROWID_IN_VIEW
  -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
  -DSQLITE_ENABLE_MATH_FUNCTIONS
  -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
  -DSQLITE_THREADSAFE=1
  -DSQLITE_USE_URI=1
  -DSQLITE_MAX_SCHEMA_RETRY=25
  -DSQLITE_ENABLE_PREUPDATE_HOOK
  -DSQLITE_ENABLE_SESSION
  -DSQLITE_ENABLE_STMTVTAB
  -DSQLITE_STRICT_SUBTYPE=1
  -DSQLITE_MAX_VARIABLE_NUMBER=250000
  # Debian's -DSQLITE_ENABLE_LOAD_EXTENSION and -DSQLITE_ENABLE_FTS3_TOKENIZER
  # are left out: no code from outside the shell is ever loaded, and no
  # tokenizer is registered from a pointer an SQL text gives. Nor has the
  # shell .shell, .system or edit(): nothing it reads can start a program.
  -DSQLITE_OMIT_LOAD_EXTENSION
  -DSQLITE_NOHAVE_SYSTEM
  -DSQLITE_ENABLE_DBPAGE_VTAB
  -DSQLITE_ENABLE_STAT4
  # A full scan of a rowid table reads the table's own b-tree, never an
  # index that covers every column, so a damaged index can neither hide nor
  # change a row that the dump reads.
  -DSQLITE_DEFAULT_COVERING_INDEX_SCAN=0
  # Our own functions (sqlite-shell-functions.c), built in: xxh3_query()
  # digests a table several times faster than the shell's sha3_query(), and
  # the check after every rebuild waits for it; the census of a damaged
  # database runs beside its dump with has_nul_text() and inexact_reals().
  -DSQLITE_EXTRA_INIT=quillbox_extra_init
)

die() { echo "sqlite-shell.sh: $*" >&2; exit 1; }

# apt, told to use a configuration of our own in the cache: its own source
# list, package lists and downloads, and none of the machine's preferences.
apt_dir=$cache/apt
own_apt() {
  local tool=$1
  shift
  "$tool" -o Dir::Etc::SourceList="$apt_dir/sources.list" \
    -o Dir::Etc::SourceParts="$apt_dir/sources.list.d" \
    -o Dir::Etc::Preferences="$apt_dir/preferences" \
    -o Dir::Etc::PreferencesParts="$apt_dir/preferences.d" \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
    -o APT::Sandbox::User=root "$@"
}

# deb-src lines for Debian 13 and its security updates, from the mirrors
# this machine's own Debian sources use (deb.debian.org when it names none),
# trusted only with Debian's archive keys.
write_source_list() {
  local targets archive security keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  [[ -f $keyring ]] || die "Debian's archive keys ($keyring) are missing"
  targets=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null) || targets=
  archive=$(awk '$2 !~ /-/ && $1 !~ /security/ { print $1; exit }' <<<"$targets")
  security=$(awk '$2 ~ /-security$/ { print $1; exit }' <<<"$targets")
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" \
    "$apt_dir/sources.list.d" "$apt_dir/preferences.d"
  printf 'deb-src [signed-by=%s] %s %s main\n' \
    "$keyring" "${archive:-http://deb.debian.org/debian/}" "$debian_release" \
    "$keyring" "${security:-http://deb.debian.org/debian-security/}" "$debian_release-security" \
    >"$apt_dir/sources.list"
}

# The version to fetch: the pinned one when the archive serves it, else the
# newest Debian revision of the same upstream release.
choose_version() {
  local versions
  versions=$(own_apt apt-cache showsrc "$source_package" 2>/dev/null |
    awk -v want="$source_package" '/^Package: / { p = $2 } /^Version: / && p == want { print $2 }' |
    grep -F "$upstream_version-" | sort -V -r) || true
  if grep -qxF "$pinned_version" <<<"$versions"; then
    echo "$pinned_version"
  else
    head -n 1 <<<"$versions"
  fi
}

# The folder in the cache holding the unpacked source; empty when none.
source_folder() {
  local marker=$cache/$source_package-source
  [[ -f "$marker" && -f "$cache/$(cat "$marker")/.unpacked" ]] && echo "$cache/$(cat "$marker")"
  return 0
}

fetch() {
  local version tmp
  [[ -n "$(source_folder)" ]] && return 0
  # Earlier versions of this script added deb-src entries to /etc/apt; they
  # were ours, and are no longer needed.
  rm -f /etc/apt/sources.list.d/quillbox-repair-deb-src.list \
    /etc/apt/sources.list.d/quillbox-repair-deb-src.sources
  write_source_list
  own_apt apt-get update -qq || die "apt-get update of Debian $debian_release's sources failed"
  version=$(choose_version)
  [[ -n "$version" ]] || die "Debian $debian_release serves no $source_package $upstream_version"
  [[ "$version" == "$pinned_version" ]] ||
    echo "sqlite-shell.sh: $pinned_version is no longer served; taking $version"
  tmp=$(mktemp -d "$cache/fetch.XXXXXX")
  trap "rm -rf '$tmp'" EXIT
  # apt checks every file it downloads against the hashes of the signed index.
  (cd "$tmp" && own_apt apt-get source -qq "$source_package=$version") ||
    die "apt-get source $source_package=$version failed"
  [[ -f "$tmp/$source_package-$upstream_version/tool/mkshellc.tcl" ]] ||
    die "$tmp/$source_package-$upstream_version is not the whole SQLite tree"
  touch "$tmp/$source_package-$upstream_version/.unpacked"
  rm -rf "${cache:?}/$source_package-$version"
  mv "$tmp/$source_package-$upstream_version" "$cache/$source_package-$version"
  echo "$source_package-$version" >"$cache/$source_package-source.new"
  mv "$cache/$source_package-source.new" "$cache/$source_package-source"
}

# Debian's compiler and linker flags (hardening included), without debug
# information; printed once per line.
debian_flags() {
  local var flag
  for var in CPPFLAGS CFLAGS LDFLAGS; do
    for flag in $(cd / && DEB_BUILD_MAINT_OPTIONS="hardening=+all future=+lfs" dpkg-buildflags --get $var); do
      [[ "$flag" == -g ]] || echo "$var $flag"
    done
  done
}

build() {
  local out=$1 version src key shell tmp flags var flag cflags=() ldflags=()
  src=$(source_folder)
  [[ -n "$src" ]] ||
    die "no source of $source_package $upstream_version in $cache (run scripts/install-deps.sh as root)"
  version=${src##*/$source_package-}
  flags=$(debian_flags)
  while read -r var flag; do
    if [[ $var == LDFLAGS ]]; then ldflags+=("$flag"); else cflags+=("$flag"); fi
  done <<<"$flags"
  cflags+=(-fno-strict-aliasing -DNDEBUG "${options[@]}")
  local functions patch
  functions=$(cd "$(dirname "$0")" && pwd)/sqlite-shell-functions.c
  patch=$(cd "$(dirname "$0")" && pwd)/sqlite-shell.patch
  key=$(printf '%s\n' "$version" "$(cc --version | head -1)" "${cflags[@]}" "${ldflags[@]}" \
          "$(sha256sum <"$functions")" "$(sha256sum <"$patch")" | sha256sum | cut -c1-16)
  shell=$cache/shell-$version-$key/sqlite3
  if [[ ! -x "$shell" ]]; then
    echo "Compiling the sqlite3 shell from $source_package $version once, into $(dirname "$shell")"
    tmp=$(mktemp -d "$cache/build.XXXXXX")
    trap "rm -rf '$tmp'" EXIT
    # configure finds tclsh, which generates the amalgamation and shell.c (the
    # recovery extension included) from the canonical tree, and writes what
    # it learnt of the C library to sqlite_cfg.h. Debian's build leaves out
    # malloc_usable_size (Debian bug 665363); so do we.
    (cd "$tmp" && "$src/configure" --disable-tcl --disable-readline --disable-editline \
       >configure.log 2>&1 && make sqlite3.c shell.c >make.log 2>&1) ||
      die "generating the sources failed: $(tail -n 3 "$tmp"/*.log)"
    sed -i '/HAVE_MALLOC_USABLE_SIZE/d' "$tmp/sqlite_cfg.h"
    patch --quiet -d "$tmp" -p1 <"$patch" || die "$patch does not apply to $version's shell.c"
    local c
    for c in sqlite3 shell; do
      cc "${cflags[@]}" -D_HAVE_SQLITE_CONFIG_H -I"$tmp" -c "$tmp/$c.c" -o "$tmp/$c.o" ||
        die "compiling $c.c failed"
    done
    cc "${cflags[@]}" -I"$tmp" -c "$functions" -o "$tmp/functions.o" ||
      die "compiling $functions failed"
    # SQLite itself goes into the shell (xxHash too, inlined); only the C
    # library is shared.
    cc "${ldflags[@]}" -o "$tmp/sqlite3" "$tmp/shell.o" "$tmp/sqlite3.o" "$tmp/functions.o" \
      -lm -ldl -lpthread || die "linking the shell failed"
    # It works, it is the version it should be, and it cannot start a program.
    local works
    works=$("$tmp/sqlite3" :memory: "SELECT count(*) FROM sqlite_dbpage;
                                     SELECT length(xxh3_query('SELECT 1'));
                                     SELECT has_nul_text(1, 'a' || char(0)),
                                            inexact_reals(ieee754_from_blob(x'8000000000000000'),
                                                          0.0, ieee754_from_blob(x'0000000000000001'))")
    [[ $works == $'0\n32\n1|2' ]] ||
      die "the new shell does not work"
    [[ "$("$tmp/sqlite3" --version)" == "$upstream_version "* ]] ||
      die "the new shell is not SQLite $upstream_version"
    ! "$tmp/sqlite3" -batch :memory: .shell .system 2>/dev/null ||
      die "the new shell still has .shell or .system"
    mkdir -p "$(dirname "$shell")"
    mv "$tmp/sqlite3" "$shell.$$"
    mv "$shell.$$" "$shell"
  fi
  mkdir -p "$(dirname "$out")"
  cmp -s "$shell" "$out" || cp "$shell" "$out"
}

case "${1:-}" in
  fetch) fetch ;;
  source) src=$(source_folder); [[ -n "$src" ]] || die "no source in $cache"; echo "$src" ;;
  build) [[ $# == 2 ]] || die "usage: $0 build OUT"; build "$2" ;;
  *) die "usage: $0 fetch | source | build OUT" ;;
esac
