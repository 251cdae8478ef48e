-- Prints a complete SQL text of the open database on the standard output,
-- which the program writes to "Library.sql", checking every write.
-- Every shell setting this relies on is set here, so a user's own shell
-- configuration cannot change the dump. The lines before the dump carry the
-- database settings a plain dump leaves out; they must come before the first
-- table is created when the text is read back. (The journal mode is set by
-- the rebuild after the rows: filling a fresh database through the
-- write-ahead log would write every page twice.)
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
SELECT 'PRAGMA encoding=''' || encoding || ''';' FROM pragma_encoding;
SELECT 'PRAGMA page_size=' || page_size || ';' FROM pragma_page_size;
SELECT 'PRAGMA auto_vacuum=' || auto_vacuum || ';' FROM pragma_auto_vacuum;
SELECT 'PRAGMA user_version=' || user_version || ';' FROM pragma_user_version;
SELECT 'PRAGMA application_id=' || application_id || ';' FROM pragma_application_id;
.dump --preserve-rowids
