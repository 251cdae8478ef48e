"""The damaged library that bench/repair times the repair on.

make_library() makes a realistic one: several tables with indexes, text and
BLOB columns, an FTS5 table, an attachments folder beside the database,
recent changes held only in the -wal file, and one damaged index page.
Only the standard library is used.
"""

import os
import shutil
import subprocess
import tempfile

# Bytes of database per note row (notes, revisions, tags, full-text index)
# and the share of the folder that attachments take; measured on this
# generator, so the made folders come out close to their nominal size.
DB_BYTES_PER_ROW = 6200
ATTACHMENT_SHARE = 0.2

WORDS = (
    "meeting notes draft idea plan review budget travel recipe garden invoice "
    "letter project summary question answer reminder call follow up schedule "
    "deadline report chapter outline sketch quote reference source archive "
    "kitchen school family weekend holiday receipt contract doctor car house "
    "research paper experiment result table figure method abstract conclusion "
    "shopping list milk bread coffee tea apples cheese pasta tomatoes onions "
).split()


def lorem():
    # A fixed text of ordinary words that bodies are cut from, so the
    # full-text index sees a realistic vocabulary.
    text, i = [], 0
    while sum(len(w) + 1 for w in text) < 4000:
        text.append(WORDS[(i * 7 + i // 5) % len(WORDS)])
        i += 1
    return " ".join(text)


def run_shell(shell, database, script, cwd=None):
    subprocess.run([shell, "-batch", "-init", "/dev/null", database], input=script.encode(),
                   cwd=cwd, check=True, stdout=subprocess.DEVNULL)


def make_library(shell, folder, nominal):
    """Makes a damaged library folder of about `nominal` bytes in `folder`."""
    rows = max(200, int(nominal * (1 - ATTACHMENT_SHARE) / DB_BYTES_PER_ROW))
    attachments = os.path.join(folder, "Attachments")
    os.makedirs(attachments)
    attachment_bytes = int(nominal * ATTACHMENT_SHARE)
    count = max(3, attachment_bytes // (2 << 20))
    for i in range(count):
        with open(os.path.join(attachments, f"scan-{i + 1}.jpg"), "wb") as out:
            out.write(os.urandom(attachment_bytes // count))

    work = tempfile.mkdtemp(dir=os.path.dirname(folder), prefix=".make-")
    database = os.path.join(work, "Library.sqlite")
    target = os.path.join(folder, "Library.sqlite")
    text = lorem().replace("'", "")
    # The shell leaves the log as it is when it closes the database, so that
    # the recent changes stay in it alone.
    run_shell(shell, database, f"""
.dbconfig no_ckpt_on_close on
PRAGMA page_size=4096;
PRAGMA journal_mode=WAL;
PRAGMA user_version=12;
PRAGMA application_id=1364283203;
CREATE TABLE notebooks(id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, created REAL);
CREATE TABLE notes(id INTEGER PRIMARY KEY AUTOINCREMENT, notebook INTEGER REFERENCES notebooks(id),
                   uuid TEXT UNIQUE, title TEXT, body TEXT, thumbnail BLOB, modified REAL);
CREATE INDEX notes_by_title ON notes(title);
CREATE INDEX notes_by_notebook ON notes(notebook, modified);
CREATE TABLE revisions(id INTEGER PRIMARY KEY, note INTEGER REFERENCES notes(id), saved REAL,
                       content BLOB);
CREATE INDEX revisions_by_note ON revisions(note, saved);
CREATE TABLE attachments(id INTEGER PRIMARY KEY, note INTEGER, file TEXT, size INTEGER, digest BLOB);
CREATE INDEX attachments_by_note ON attachments(note);
CREATE TABLE tags(name TEXT PRIMARY KEY, colour INTEGER) WITHOUT ROWID;
CREATE TABLE note_tags(note INTEGER, tag TEXT);
CREATE INDEX note_tags_by_tag ON note_tags(tag);
CREATE VIRTUAL TABLE notes_search USING fts5(title, body);
CREATE VIEW recent_notes AS SELECT id, title FROM notes ORDER BY modified DESC LIMIT 20;
CREATE TRIGGER notes_indexed AFTER INSERT ON notes BEGIN
  INSERT INTO notes_search(rowid, title, body) VALUES (new.id, new.title, new.body);
END;
PRAGMA cache_size=-65536;
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)
  INSERT INTO notebooks(title, created) SELECT 'Notebook ' || i, 700000000 + i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {rows})
  INSERT INTO notes(notebook, uuid, title, body, thumbnail, modified)
  SELECT 1 + i % 40, upper(hex(randomblob(16))),
         'Note ' || i || ' ' || substr('{text}', 1 + abs(random()) % 3000, 30),
         substr('{text}', 1 + abs(random()) % 3000, 300 + abs(random()) % 600) || ' ' ||
           hex(randomblob(8)),
         randomblob(1200 + abs(random()) % 800), 700000000 + i * 60 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {rows})
  INSERT INTO revisions(note, saved, content)
  SELECT i, 700000000 + i * 60 - 30, randomblob(600 + abs(random()) % 400) FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {count})
  INSERT INTO attachments(note, file, size, digest)
  SELECT 1 + (i * 7919) % {rows}, 'scan-' || i || '.jpg', {attachment_bytes // count},
         randomblob(32) FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60)
  INSERT INTO tags SELECT 'tag' || i, i * 1000 FROM n;
INSERT INTO note_tags SELECT id, 'tag' || (1 + id % 60) FROM notes;
INSERT INTO note_tags SELECT id, 'tag' || (1 + id % 7) FROM notes WHERE id % 3 = 0;
COMMIT;
PRAGMA wal_checkpoint(TRUNCATE);
-- Recent changes that live only in the write-ahead log.
INSERT INTO notebooks(title, created) VALUES ('Written just before the crash', 800000000);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)
  INSERT INTO notes(notebook, uuid, title, body, thumbnail, modified)
  SELECT 41, upper(hex(randomblob(16))), 'Recent ' || i, 'Written today ' || hex(randomblob(100)),
         randomblob(1500), 800000000 + i FROM n;
UPDATE notes SET body = 'Edited recently' WHERE id % 1000 = 1;
""")
    for suffix in ("", "-wal", "-shm"):
        shutil.copyfile(database + suffix, target + suffix)
    # Damage the first page of an index the recent changes did not touch, so
    # the database fails its integrity check but every row can be read.
    page = subprocess.run([shell, "-batch", "-readonly", database,
                           "SELECT rootpage FROM sqlite_schema WHERE name = 'note_tags_by_tag'"],
                          check=True, capture_output=True, text=True).stdout.strip()
    with open(target, "r+b") as db:
        db.seek((int(page) - 1) * 4096)
        db.write(os.urandom(4096))
    shutil.rmtree(work)
