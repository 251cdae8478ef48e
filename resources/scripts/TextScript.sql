-- Prints an SQL text that, run on a database, prints the statements that set
-- each text value holding a NUL character, which the dump's text cuts short
-- there, to its exact bytes, by rowid. Fed to the shell after the dump has
-- been read back, they make every such value exact again. (Tables without a
-- rowid are left out: the census refuses NUL text in them.)
-- Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- The tables listed in temp.quillbox_derived are left out: their rows are
-- derived, and built anew after the rebuild.
-- The program puts the shell settings this relies on, and that list, in
-- front of it.
SELECT 'SELECT ''UPDATE "' || replace(replace(s.name, '"', '""'), '''', '''''') || '" SET "' ||
       replace(replace(c.name, '"', '""'), '''', '''''') ||
       '" = CAST(x'''''' || hex(CAST("' || replace(c.name, '"', '""') ||
       '" AS BLOB)) || '''''' AS TEXT) WHERE ' || r.name || ' = '' || ' ||
       r.name || ' || '';'' FROM "' || replace(s.name, '"', '""') ||
       '" NOT INDEXED WHERE typeof("' || replace(c.name, '"', '""') ||
       '") = ''text'' AND instr(CAST("' || replace(c.name, '"', '""') ||
       '" AS BLOB), zeroblob(1)) > 0;'
FROM sqlite_schema AS s
JOIN pragma_table_list AS l ON l.schema = 'main' AND l.name = s.name AND NOT l.wr
JOIN pragma_table_info(s.name) AS c
JOIN (SELECT 'rowid' AS name UNION ALL SELECT '_rowid_' UNION ALL SELECT 'oid') AS r
  ON r.name = (SELECT n.name FROM (SELECT 'rowid' AS name, 1 AS k UNION ALL SELECT '_rowid_', 2
                                   UNION ALL SELECT 'oid', 3) AS n
               WHERE NOT EXISTS (SELECT 1 FROM pragma_table_xinfo(s.name) AS x
                                 WHERE lower(x.name) = n.name)
               ORDER BY n.k LIMIT 1)
WHERE s.type = 'table' AND s.sql NOT LIKE 'CREATE VIRTUAL TABLE%'
  AND s.name NOT IN (SELECT name FROM temp.quillbox_derived)
ORDER BY s.name, c.cid;
