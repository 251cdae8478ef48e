-- Prints an SQL text that, run on a database, prints one line per ordinary
-- table: its row count, counted by a full scan (NOT INDEXED), and its name in
-- hex. Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- The program puts the shell settings this relies on in front of it.
SELECT 'SELECT count(*), hex(' || quote(s.name) || ') FROM "' || replace(s.name, '"', '""') ||
       '" NOT INDEXED;'
FROM sqlite_schema AS s
WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
ORDER BY s.name;
