-- Prints an SQL text that, run on a database, prints one line per ordinary
-- table: its row count, its name in hex, the number of its rows holding a
-- text value with a NUL character, which a dump would cut short, and the
-- number of its REAL values that the dump's decimal text cannot give back to
-- the bit (-0.0 and the subnormal numbers). Each table is read once, by a
-- full scan (NOT INDEXED).
-- Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- The program puts the shell settings this relies on in front of it.
SELECT 'SELECT count(*), hex(' || quote(s.name) || '), coalesce(sum(0' ||
       coalesce((SELECT group_concat(' OR (typeof(' || c.q || ') = ''text'' AND instr(' || c.q ||
                                     ', char(0)) > 0)', '')
                 FROM (SELECT '"' || replace(name, '"', '""') || '"' AS q
                       FROM pragma_table_info(s.name)) AS c), '') ||
       '), 0), coalesce(sum(0' ||
       coalesce((SELECT group_concat(' + CASE WHEN typeof(' || c.q || ') = ''real'' THEN abs(' ||
                                     c.q || ') < 2.2250738585072014e-308 AND ieee754_to_blob(' ||
                                     c.q || ') <> x''0000000000000000'' ELSE 0 END', '')
                 FROM (SELECT '"' || replace(name, '"', '""') || '"' AS q
                       FROM pragma_table_info(s.name)) AS c), '') ||
       '), 0) FROM "' || replace(s.name, '"', '""') || '" NOT INDEXED;'
FROM sqlite_schema AS s
WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
ORDER BY s.name;
