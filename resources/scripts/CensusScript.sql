-- Prints an SQL text that, run on a database, prints one line per ordinary
-- table: its row count, its name in hex, the number of its rows holding a
-- text value with a NUL character, which a dump would cut short, the
-- number of its REAL values that the dump's decimal text does not give back
-- to the bit, 1 when it has no rowid (else 0), and 1 when it is a virtual
-- table's own (a shadow table, else 0). Each table is read once, by a
-- full scan of its own b-tree (NOT INDEXED; a table without a rowid through
-- its primary key, never through an index that covers every column); our
-- shell's has_nul_text() and inexact_reals()
-- look at every value of a row in one call. A function takes at most 127
-- arguments, so a wider table's columns go to several calls, 100 at a time.
-- Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- The tables listed in temp.quillbox_derived are left out: their rows are
-- derived, and built anew after the rebuild.
-- The program puts the shell settings this relies on, and that list, in
-- front of it.
WITH columns AS (
  SELECT t.name, group_concat('"' || replace(i.name, '"', '""') || '"', ', ') AS list
  FROM sqlite_schema AS t JOIN pragma_table_info(t.name) AS i
  WHERE t.type = 'table' GROUP BY t.name, i.cid / 100),
calls AS (
  SELECT name, group_concat('has_nul_text(' || list || ')', ' OR ') AS nul,
         group_concat('inexact_reals(' || list || ')', ' + ') AS reals
  FROM columns GROUP BY name)
SELECT 'SELECT count(*), hex(' || quote(s.name) || '), coalesce(sum(' || c.nul ||
       '), 0), coalesce(sum(' || c.reals || '), 0), ' ||
       (SELECT l.wr || ', ' || (l.type = 'shadow')
        FROM pragma_table_list AS l WHERE l.schema = 'main' AND l.name = s.name) ||
       ' FROM "' ||
       replace(s.name, '"', '""') || '" ' ||
       coalesce((SELECT 'INDEXED BY "' || replace(i.name, '"', '""') || '"'
                 FROM pragma_table_list AS l, pragma_index_list(s.name) AS i
                 WHERE l.schema = 'main' AND l.name = s.name AND l.wr AND i.origin = 'pk'),
                'NOT INDEXED') || ';'
FROM sqlite_schema AS s JOIN calls AS c ON c.name = s.name
WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
  AND s.name NOT IN (SELECT name FROM temp.quillbox_derived)
ORDER BY s.name;
