-- Prints an SQL text that, run on a database, prints one line per ordinary
-- table: its name in hex and the XXH3 digest of its rows. Each row is
-- hashed with its rowid and its values with their types (a REAL as its eight
-- bytes), read by a full scan of the table's own b-tree (for a WITHOUT ROWID
-- table, its primary key), so in key order and never through another index.
-- In a UTF-16 database every text value is hashed as its stored bytes too, so
-- a change of a single code unit shows. Run on the damaged database and on
-- the rebuilt one, the two texts must be equal.
-- The text reads the parameter @part, 0 or 1, so that two shells can share
-- the work: part 0 digests the rows up to the middle of the table's rowids
-- (halfway between its least and its greatest), part 1 those above it, each
-- reached by a seek in the table's b-tree, so that each reads only its own
-- pages (a table without a rowid goes whole to part 0). The parts are
-- compared part for part, so however the middle falls, equal digests mean
-- equal rows. A missing @part makes every digest empty. Every name is quoted,
-- so no name can end a statement early or start a shell command.
-- The tables listed in temp.quillbox_derived are left out: their rows are
-- derived, and built anew after the rebuild.
-- The program puts the shell settings this relies on, and that list, in
-- front of it.
SELECT 'SELECT ' || quote(hex(t.name)) || ', xxh3_query(' ||
       quote('SELECT ' || coalesce(t.alias || ', ', '') || '*' || t.stored ||
             ' FROM ' || t.q || ' ' ||
             CASE WHEN t.wr THEN 'INDEXED BY "' || replace(t.pk, '"', '""') || '"'
                  ELSE 'NOT INDEXED' END ||
             CASE WHEN t.alias IS NULL THEN '' ELSE ' WHERE ' || t.alias END) ||
       CASE WHEN t.alias IS NULL THEN ') WHERE @part = 0;'
            ELSE ' || CASE @part WHEN 0 THEN '' <= '' WHEN 1 THEN '' > '' END || ' ||
                 quote('((SELECT min(' || t.alias || ') FROM ' || t.q || ' NOT INDEXED) / 2 + ' ||
                       '(SELECT max(' || t.alias || ') FROM ' || t.q || ' NOT INDEXED) / 2)') ||
                 ');' END
FROM (SELECT s.name, '"' || replace(s.name, '"', '""') || '"' AS q, l.wr,
             (SELECT name FROM pragma_index_list(s.name) WHERE origin = 'pk') AS pk,
             -- The first name of the rowid that no column has taken.
             CASE WHEN l.wr THEN NULL
                  WHEN NOT EXISTS (SELECT 1 FROM pragma_table_xinfo(s.name)
                                   WHERE lower(name) = 'rowid') THEN 'rowid'
                  WHEN NOT EXISTS (SELECT 1 FROM pragma_table_xinfo(s.name)
                                   WHERE lower(name) = '_rowid_') THEN '_rowid_'
                  WHEN NOT EXISTS (SELECT 1 FROM pragma_table_xinfo(s.name)
                                   WHERE lower(name) = 'oid') THEN 'oid' END AS alias,
             CASE WHEN (SELECT encoding FROM pragma_encoding) = 'UTF-8' THEN ''
                  ELSE (SELECT group_concat(', CAST(CASE WHEN typeof(' || c.q || ') = ''text'' THEN '
                                            || c.q || ' END AS BLOB)', '')
                        FROM (SELECT '"' || replace(name, '"', '""') || '"' AS q
                              FROM pragma_table_info(s.name)) AS c) END AS stored
      FROM sqlite_schema AS s JOIN pragma_table_list AS l ON l.schema = 'main' AND l.name = s.name
      WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
        AND s.name NOT IN (SELECT name FROM temp.quillbox_derived)) AS t
ORDER BY t.name;
