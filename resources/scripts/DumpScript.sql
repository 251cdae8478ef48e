-- Prints a complete SQL text of the open database on the standard output,
-- which the program writes to "Library.sql", checking every write.
-- Every shell setting this relies on is set here, so a user's own shell
-- configuration cannot change the dump. The lines before the dump carry the
-- database settings a plain dump leaves out; they must come before the first
-- table is created when the text is read back. The journal mode is only noted
-- in a temporary table: filling a fresh database through the write-ahead log
-- would write every page twice, so FixScript switches to it after the rows.
.bail on
-- Another reader may hold the database for a moment (the rows are counted
-- while the dump runs): wait for it rather than fail.
.timeout 30000
.echo off
.headers off
.mode list
.separator "|" "\n"
.nullvalue ""
.changes off
.timer off
-- The damaged database is only read: closing it does not move the log's
-- changes into it (they are in the dump, and the files are removed next).
-- The setting prints its new value, which nobody needs.
.output /dev/null
.dbconfig no_ckpt_on_close on
.output stdout
SELECT 'PRAGMA encoding=''' || encoding || ''';' FROM pragma_encoding;
SELECT 'PRAGMA page_size=' || page_size || ';' FROM pragma_page_size;
SELECT 'PRAGMA auto_vacuum=' || auto_vacuum || ';' FROM pragma_auto_vacuum;
SELECT 'CREATE TEMP TABLE quillbox_journal(mode TEXT);';
SELECT 'INSERT INTO temp.quillbox_journal VALUES(''wal'');' FROM pragma_journal_mode
  WHERE journal_mode = 'wal';
SELECT 'PRAGMA user_version=' || user_version || ';' FROM pragma_user_version;
SELECT 'PRAGMA application_id=' || application_id || ';' FROM pragma_application_id;
.dump --preserve-rowids
