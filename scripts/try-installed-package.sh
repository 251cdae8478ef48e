#!/usr/bin/env bash
# Run as root on a pristine Debian 12 machine (scripts/check-fresh-machine.sh
# does, in its second root): installs the package with apt-get as a user
# would, then proves it complete with the installed files alone.
#   try-installed-package.sh ./quillbox-repair_VERSION_ARCH.deb
# make-sample-library.sh must lie beside this script.
set -euo pipefail
deb=$1
here=$(cd "$(dirname "$0")" && pwd)
say() { echo "installed package: $*"; }
export DEBIAN_FRONTEND=noninteractive

say "apt-get install $deb"
apt-get update -qq
apt-get install -y -qq "$deb" >/dev/null
dpkg-query -W -f='${Package} ${Version}\n  Depends: ${Depends}\n' quillbox-repair

say "every file it needs to run is there"
shell=/usr/libexec/quillbox-repair/sqlite3
for f in /usr/bin/quillbox-repair /usr/bin/quillbox-repair-cli /usr/bin/quillbox-set-library "$shell" \
  /usr/share/applications/com.quillbox.QuillboxRepair.desktop \
  /usr/share/metainfo/com.quillbox.QuillboxRepair.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/com.quillbox.QuillboxRepair.svg \
  /usr/share/icons/hicolor/48x48/apps/com.quillbox.QuillboxRepair.png \
  /usr/share/man/man1/quillbox-repair-cli.1.gz /usr/share/man/man1/quillbox-set-library.1.gz; do
  [[ -e "$f" ]] || { say "missing $f" >&2; exit 1; }
done
# Every shared library each program loads comes with the package's dependencies.
for f in /usr/bin/quillbox-repair /usr/bin/quillbox-repair-cli /usr/bin/quillbox-set-library "$shell"; do
  if ldd "$f" | grep 'not found'; then
    say "$f cannot find the libraries above" >&2
    exit 1
  fi
done

say "a damaged sample library, repaired by the installed quillbox-repair-cli"
sandbox=/root/sample
library=$(SQLITE3=$shell bash "$here/make-sample-library.sh" "$sandbox" 2000)
check() { # the first line of SQLite's integrity check: "ok" when the database is sound
  local out
  out=$("$shell" -init /dev/null -batch -readonly "$library/Library.sqlite" 'PRAGMA integrity_check' 2>&1) || true
  echo "${out%%$'\n'*}"
}
before=$(check)
[[ "$before" != ok ]] || { say "the sample library is not damaged" >&2; exit 1; }
export HOME=$sandbox/home XDG_CONFIG_HOME=$sandbox/config XDG_DATA_HOME=$sandbox/data
quillbox-set-library "$library"
status=0
quillbox-repair-cli </dev/null || status=$?
say "quillbox-repair-cli exited with status $status"
after=$(check)
say "integrity check before: $before; after: $after"
[[ $status == 0 && "$after" == ok ]] || exit 1
rows=$("$shell" -init /dev/null -batch -readonly "$library/Library.sqlite" 'SELECT count(*) FROM notes')
say "rows in notes after the repair: $rows"
[[ $rows == 2000 ]] || exit 1

say "the window program starts with the installed Qt plugins"
# It stays up, waiting for its user, until the time runs out (status 124).
status=0
QT_QPA_PLATFORM=offscreen timeout 5 quillbox-repair >/dev/null 2>"$sandbox/window.log" || status=$?
if ((status != 124)); then
  cat "$sandbox/window.log" >&2
  say "quillbox-repair ended with status $status" >&2
  exit 1
fi
say "all well"
