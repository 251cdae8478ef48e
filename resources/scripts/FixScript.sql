-- Creates the database afresh from "Library.sql". The shell stops at the
-- first failing statement and exits with a non-zero status. What the
-- statements print (the journal mode, for one) is discarded.
.bail on
.echo off
.headers off
.mode list
.changes off
.timer off
.output /dev/null
-- The shell does not wait for the disk after each write: the program flushes
-- the finished database itself while it checks it, and counts the rebuild as
-- done only after that. Until then the safety copy is what a restart keeps.
PRAGMA synchronous=OFF;
.read Library.sql
-- The dump noted a write-ahead log in a temporary table instead of switching
-- to it before its rows. Its text is read and no longer needed, so its file
-- now takes the one statement that switches, made only when one was noted.
.output Library.sql
SELECT 'PRAGMA journal_mode=' || mode || ';' FROM temp.quillbox_journal;
.output /dev/null
.read Library.sql
.output stdout
