#!/usr/bin/env bash
# The sqlite3 shell the repair runs, built from Debian's source package of the
# installed SQLite. Debian's own shell links Debian's library, which lacks the
# sqlite_dbpage table that the shell's .recover needs; ours carries SQLite
# inside it, compiled with Debian's options plus that table and STAT4.
#
#   scripts/sqlite-shell.sh fetch      add deb-src entries for the machine's
#                                      Debian sources and unpack the source
#                                      package into the cache (as root;
#                                      install-deps.sh runs it)
#   scripts/sqlite-shell.sh build OUT  put the shell at OUT, compiling it only
#                                      when the cache has none for this source
#                                      version and these options
#
# The cache is $QUILLBOX_CACHE_DIR, by default ~/.cache/quillbox-repair, shared
# by every build folder, so a new build folder does not compile SQLite again.
set -euo pipefail

cache=${QUILLBOX_CACHE_DIR:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/quillbox-repair}

# Debian's build of 3.40.1 (debian/rules and the configure switches it
# passes), then what the repair needs on top: the sqlite_dbpage table for
# .recover, and STAT4, without which the dump of a library analysed by an
# SQLite with STAT4 cannot be loaded (it has no sqlite_stat4 to fill).
options=(
  -DSQLITE_SECURE_DELETE
  -DSQLITE_ENABLE_COLUMN_METADATA
  -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_FTS3_TOKENIZER=1
  -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5
  -DSQLITE_ENABLE_RTREE=1
  -DSQLITE_SOUNDEX=1
  -DSQLITE_ENABLE_UNLOCK_NOTIFY
  -DSQLITE_OMIT_LOOKASIDE=1
  -DSQLITE_ENABLE_DBSTAT_VTAB
  -DSQLITE_ALLOW_ROWID_IN_VIEW
  -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
  -DSQLITE_ENABLE_LOAD_EXTENSION
  -DSQLITE_ENABLE_MATH_FUNCTIONS
  -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
  -DSQLITE_THREADSAFE=1
  -DSQLITE_USE_URI=1
  -DSQLITE_MAX_SCHEMA_RETRY=25
  -DSQLITE_ENABLE_PREUPDATE_HOOK
  -DSQLITE_ENABLE_SESSION
  -DSQLITE_ENABLE_STMTVTAB
  -DSQLITE_MAX_VARIABLE_NUMBER=250000
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

# Sets pkg and version to the source package and version of the installed
# SQLite, e.g. "sqlite3" and "3.40.1-2+deb12u2". (No process substitution: a
# fresh root may have no /dev/fd.)
installed_source() {
  local info
  info=$(dpkg-query -W -f='${source:Package} ${source:Version}' sqlite3 2>/dev/null) || info=
  read -r pkg version <<<"$info" || true
  [[ -n "${version:-}" ]] || die "the sqlite3 package is not installed (run scripts/install-deps.sh)"
}

# deb-src twins of the machine's enabled Debian entries (those whose suite is
# this release's codename or one of its updates), unless they are there
# already, written to files of our own beside them.
add_deb_src() {
  local codename list=/etc/apt/sources.list.d/quillbox-repair-deb-src
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [[ -n "$codename" ]] || die "cannot tell this Debian release's codename"
  local lists=() parts=()
  [[ -f /etc/apt/sources.list ]] && lists+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list; do
    [[ -f "$f" && "$f" != "$list.list" ]] && lists+=("$f")
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$f" && "$f" != "$list.sources" ]] && parts+=("$f")
  done
  # One-line entries: "deb [options] URI suite component...".
  if ((${#lists[@]})); then
    awk -v codename="$codename" '
      function debian(suite) { return suite == codename || index(suite, codename "-") == 1 }
      { sub(/#.*/, ""); $1 = $1 }
      $1 == "deb-src" { have[$0] = 1 }
      $1 == "deb" {
        i = 2; if ($2 ~ /^\[/) while (i < NF && $i !~ /\]$/) i++; else i = 1
        if (debian($(i + 2))) { $1 = "deb-src"; if (!($0 in want)) order[++n] = $0; want[$0] = 1 }
      }
      END { for (i = 1; i <= n; i++) if (!(order[i] in have)) print order[i] }' "${lists[@]}" >"$list.list.new"
  else
    : >"$list.list.new"
  fi
  # deb822 stanzas: the same stanza with Types: deb-src.
  if ((${#parts[@]})); then
    awk -v codename="$codename" '
      function flush(   i, n, s, debian) {
        n = split(suites, s, /[ \t]+/); debian = 0
        for (i = 1; i <= n; i++) if (s[i] == codename || index(s[i], codename "-") == 1) debian = 1
        if (lines && debian && hasdeb && !hassrc && enabled) {
          if (printed++) print ""
          for (i = 1; i <= lines; i++) print (i == typesat ? "Types: deb-src" : line[i])
        }
        lines = 0; suites = ""; hasdeb = hassrc = 0; enabled = 1
      }
      BEGIN { enabled = 1 }
      FNR == 1 { flush() }
      /^[ \t]*$/ { flush(); next }
      /^#/ { next }
      {
        line[++lines] = $0
        key = tolower($1)
        if (key == "types:") {
          typesat = lines
          for (i = 2; i <= NF; i++) { if ($i == "deb") hasdeb = 1; if ($i == "deb-src") hassrc = 1 }
        }
        if (key == "suites:") { suites = $0; sub(/^[^:]*:[ \t]*/, "", suites) }
        if (key == "enabled:" && tolower($2) == "no") enabled = 0
      }
      END { flush() }' "${parts[@]}" >"$list.sources.new"
  else
    : >"$list.sources.new"
  fi
  local ext
  for ext in list sources; do
    if [[ -s "$list.$ext.new" ]]; then
      mv "$list.$ext.new" "$list.$ext"
    else
      rm -f "$list.$ext.new"
    fi
  done
}

fetch() {
  local pkg version upstream src tmp
  installed_source
  src=$cache/$pkg-$version
  [[ -f "$src/.unpacked" ]] && return 0
  ((EUID == 0)) || die "fetching the source of $pkg $version needs root (apt-get update)"
  add_deb_src
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  mkdir -p "$cache"
  tmp=$(mktemp -d "$cache/fetch.XXXXXX")
  # apt's download user cannot write to a folder in root's home.
  local sandbox=-oAPT::Sandbox::User=root
  trap "rm -rf '$tmp'" EXIT
  # The installed version's own source; a machine whose sources no longer
  # serve it takes the candidate's, which on a stable release is the same
  # upstream SQLite with Debian's later fixes.
  (cd "$tmp" && { apt-get source -qq $sandbox "$pkg=$version" || apt-get source -qq $sandbox "$pkg"; }) ||
    die "apt-get source $pkg failed"
  upstream=${version#*:}
  upstream=${upstream%-*}
  [[ -f "$tmp/$pkg-$upstream/tool/mkshellc.tcl" ]] ||
    die "$tmp/$pkg-$upstream is not the whole SQLite tree"
  touch "$tmp/$pkg-$upstream/.unpacked"
  rm -rf "$src"
  mv "$tmp/$pkg-$upstream" "$src"
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
  local out=$1 pkg version src key shell tmp flags var flag cflags=() ldflags=()
  installed_source
  src=$cache/$pkg-$version
  [[ -f "$src/.unpacked" ]] ||
    die "no source of $pkg $version in $cache (run scripts/install-deps.sh as root)"
  flags=$(debian_flags)
  while read -r var flag; do
    if [[ $var == LDFLAGS ]]; then ldflags+=("$flag"); else cflags+=("$flag"); fi
  done <<<"$flags"
  cflags+=(-fno-strict-aliasing -DNDEBUG "${options[@]}")
  local functions
  functions=$(cd "$(dirname "$0")" && pwd)/sqlite-shell-functions.c
  key=$(printf '%s\n' "$version" "$(cc --version | head -1)" "${cflags[@]}" "${ldflags[@]}" \
          "$(sha256sum <"$functions")" | sha256sum | cut -c1-16)
  shell=$cache/shell-$version-$key/sqlite3
  if [[ ! -x "$shell" ]]; then
    echo "Compiling the sqlite3 shell from $pkg $version once, into $(dirname "$shell")"
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
    local works
    works=$("$tmp/sqlite3" :memory: "SELECT count(*) FROM sqlite_dbpage;
                                     SELECT length(xxh3_query('SELECT 1'));
                                     SELECT has_nul_text(1, 'a' || char(0)),
                                            inexact_reals(ieee754_from_blob(x'8000000000000000'),
                                                          0.0, ieee754_from_blob(x'0000000000000001'))")
    [[ $works == $'0\n32\n1|2' ]] ||
      die "the new shell does not work"
    mkdir -p "$(dirname "$shell")"
    mv "$tmp/sqlite3" "$shell.$$"
    mv "$shell.$$" "$shell"
  fi
  mkdir -p "$(dirname "$out")"
  cmp -s "$shell" "$out" || cp "$shell" "$out"
}

case "${1:-}" in
  fetch) fetch ;;
  build) [[ $# == 2 ]] || die "usage: $0 build OUT"; build "$2" ;;
  *) die "usage: $0 fetch | build OUT" ;;
esac
