-- Prints an SQL text that, run on a database, prints the statements that set
-- each REAL value that the dump's decimal text does not give back to the bit
-- to its exact eight bytes, by rowid. Each value is written as the shell's
-- .dump writes it ("%lld.0" for a whole number, else "%!.20g") and read back
-- as SQLite reads it; -0.0 is one, and so is every subnormal number, however
-- it reads back. Fed to the shell after the dump has been read back, they
-- make every such value exact again. (Such values in a WITHOUT ROWID table,
-- or in a table whose rowid has no name left, are not set; the final
-- comparison then refuses.)
-- Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- The tables listed in temp.quillbox_derived are left out: their rows are
-- derived, and built anew after the rebuild.
-- The program puts the shell settings this relies on, and that list, in
-- front of it.
WITH cols AS (
  SELECT s.name AS tname, c.name AS cname, c.cid, r.name AS rid,
         '"' || replace(c.name, '"', '""') || '"' AS col
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
    AND s.name NOT IN (SELECT name FROM temp.quillbox_derived))
SELECT 'SELECT ''UPDATE "' || replace(replace(tname, '"', '""'), '''', '''''') || '" SET "' ||
       replace(replace(cname, '"', '""'), '''', '''''') ||
       '" = ieee754_from_blob(x'''''' || hex(ieee754_to_blob(' || col || ')) || '''''') WHERE ' ||
       rid || ' = '' || ' || rid || ' || '';'' FROM "' || replace(tname, '"', '""') ||
       '" NOT INDEXED WHERE ' ||
       replace('CASE WHEN typeof(@) = ''real'' THEN (abs(@) < 2.2250738585072014e-308 AND @ <> 0.0)' ||
               ' OR ieee754_to_blob(CAST(CASE WHEN abs(@) < 9.2e18 AND @ = CAST(@ AS INTEGER)' ||
               ' THEN CAST(@ AS INTEGER) || ''.0'' ELSE printf(''%!.20g'', @) END AS REAL))' ||
               ' <> ieee754_to_blob(@) ELSE 0 END;', '@', col)
FROM cols
ORDER BY tname, cid;
