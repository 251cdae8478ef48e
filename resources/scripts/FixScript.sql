-- Goes in front of the text of "Library.sql" on the shell's standard input,
-- which creates the database afresh. The shell stops at the first failing
-- statement and exits with a non-zero status.
.bail on
.echo off
.headers off
.mode list
.changes off
.timer off
-- The shell does not wait for the disk after each write: the program flushes
-- the finished database itself while it checks it, and counts the rebuild as
-- done only after that. Until then the safety copy is what a restart keeps.
PRAGMA synchronous=OFF;
