-- Prints an SQL text that, run on a database, prints the statements that set
-- each REAL value that the dump's decimal text cannot give back to the bit
-- (-0.0 and the subnormal numbers) to its exact eight bytes, by rowid. Fed
-- to the shell after the dump has been read back, they make every such value
-- exact again. (Such values in a WITHOUT ROWID table, or in a table whose
-- rowid has no name left, are not set; the final comparison then refuses.)
-- Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- The program puts the shell settings this relies on in front of it.
SELECT 'SELECT ''UPDATE "' || replace(replace(s.name, '"', '""'), '''', '''''') || '" SET "' ||
       replace(replace(c.name, '"', '""'), '''', '''''') ||
       '" = ieee754_from_blob(x'''''' || hex(ieee754_to_blob("' ||
       replace(c.name, '"', '""') || '")) || '''''') WHERE ' || r.name || ' = '' || ' ||
       r.name || ' || '';'' FROM "' || replace(s.name, '"', '""') ||
       '" NOT INDEXED WHERE CASE WHEN typeof("' || replace(c.name, '"', '""') ||
       '") = ''real'' THEN abs("' || replace(c.name, '"', '""') ||
       '") < 2.2250738585072014e-308 AND ieee754_to_blob("' || replace(c.name, '"', '""') ||
       '") <> x''0000000000000000'' ELSE 0 END;'
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
ORDER BY s.name, c.cid;
