-- Prints an SQL text that, run on a database, prints one line per ordinary
-- table: the number of its text values that hold a NUL character, its row
-- count, and its name in hex. Rows are counted by a full scan (NOT INDEXED),
-- so a damaged index cannot mislead the count. Every name is quoted, so no
-- name can end a statement early or start a shell command.
.bail on
.echo off
.headers off
.mode list
.separator "|" "\n"
.nullvalue ""
.changes off
.timer off
SELECT 'SELECT 0' ||
       coalesce((SELECT group_concat(
                    ' + coalesce(sum(typeof(' || c.q || ') = ''text'' AND instr(' || c.q ||
                    ', char(0)) > 0), 0)', '')
                 FROM (SELECT '"' || replace(name, '"', '""') || '"' AS q
                       FROM pragma_table_info(s.name)) AS c), '') ||
       ', count(*), hex(' || quote(s.name) || ') FROM "' || replace(s.name, '"', '""') ||
       '" NOT INDEXED;'
FROM sqlite_schema AS s
WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
ORDER BY s.name;
