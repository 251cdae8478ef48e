-- Prints an SQL text that, run on a database, prints one line per ordinary
-- table: its row count, counted by a full scan (NOT INDEXED), and its name in
-- hex. Every name is quoted, so no name can end a statement early or start a
-- shell command.
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
SELECT 'SELECT count(*), hex(' || quote(s.name) || ') FROM "' || replace(s.name, '"', '""') ||
       '" NOT INDEXED;'
FROM sqlite_schema AS s
WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
ORDER BY s.name;
