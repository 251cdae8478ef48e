#!/usr/bin/env bash
# Makes a damaged sample Quillbox library in a sandbox folder:
#   scripts/make-sample-library.sh SANDBOX [ROWS]
# SANDBOX/home/Documents/Main.quillbox holds Library.sqlite with several
# tables, indexes, text and BLOB columns, an FTS5 table, a folder of
# attachments, and recent changes held only in Library.sqlite-wal. One index
# page is overwritten with garbage, so the database fails its integrity check
# but every row can still be read.
set -euo pipefail
sandbox=$1
rows=${2:-2000}
sqlite=${SQLITE3:-sqlite3}
library="$sandbox/home/Documents/Main.quillbox"
rm -rf "$sandbox"
mkdir -p "$library/Attachments" "$sandbox/config" "$sandbox/data" "$sandbox/work"
for i in 1 2 3; do head -c 4096 /dev/urandom > "$library/Attachments/scan-$i.png"; done

work="$sandbox/work/Library.sqlite"
# The shell leaves the log as it is when it closes the database, so that the
# recent changes below stay in it alone.
"$sqlite" -init /dev/null -batch "$work" >/dev/null <<SQL
.dbconfig no_ckpt_on_close on
PRAGMA page_size=4096;
PRAGMA journal_mode=WAL;
PRAGMA user_version=12;
PRAGMA application_id=1364283203;
CREATE TABLE notebooks(id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, created REAL);
CREATE TABLE notes(id INTEGER PRIMARY KEY AUTOINCREMENT, notebook INTEGER REFERENCES notebooks(id),
                   title TEXT, body TEXT, thumbnail BLOB, modified REAL);
CREATE INDEX notes_by_title ON notes(title);
CREATE INDEX notes_by_notebook ON notes(notebook, modified);
CREATE TABLE tags(name TEXT PRIMARY KEY, colour INTEGER) WITHOUT ROWID;
CREATE TABLE note_tags(note INTEGER, tag TEXT);
CREATE INDEX note_tags_by_tag ON note_tags(tag);
CREATE VIRTUAL TABLE notes_search USING fts5(title, body);
CREATE VIEW recent_notes AS SELECT id, title FROM notes ORDER BY modified DESC LIMIT 20;
CREATE TRIGGER notes_indexed AFTER INSERT ON notes BEGIN
  INSERT INTO notes_search(rowid, title, body) VALUES (new.id, new.title, new.body);
END;
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20)
  INSERT INTO notebooks(title, created) SELECT 'Notebook ' || i, 700000000 + i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
  INSERT INTO notes(notebook, title, body, thumbnail, modified)
  SELECT 1 + i % 20, 'Note ' || i, 'Body of note ' || i || ' ' || hex(randomblob(60)),
         randomblob(200), 700000000 + i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30)
  INSERT INTO tags SELECT 'tag' || i, i * 1000 FROM n;
INSERT INTO note_tags SELECT id, 'tag' || (1 + id % 30) FROM notes;
COMMIT;
PRAGMA wal_checkpoint(TRUNCATE);
-- Recent changes that live only in the write-ahead log.
INSERT INTO notebooks(title, created) VALUES ('Written just before the crash', 800000000);
UPDATE notes SET body = 'Edited recently' WHERE id = 1;
SQL
for suffix in "" -wal -shm; do cp "$work$suffix" "$library/Library.sqlite$suffix"; done

# Damage the first page of the note_tags_by_tag index, which the recent
# changes did not touch, so the damage is not hidden by the log.
page=$("$sqlite" -init /dev/null -batch -readonly "$work" "SELECT rootpage FROM sqlite_schema WHERE name = 'note_tags_by_tag'")
head -c 4096 /dev/urandom | dd of="$library/Library.sqlite" bs=4096 seek=$(( page - 1 )) conv=notrunc status=none
rm -rf "$sandbox/work"
echo "$library"
