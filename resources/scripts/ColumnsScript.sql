-- Makes the view temp.quillbox_columns, which the scripts that set values
-- exactly after the rebuild read: each column of each ordinary table that
-- has a rowid (those listed in temp.quillbox_derived left out), with the
-- table's name, the column's name and place, the column as a quoted SQL
-- name, and the first name of the rowid that no column has taken ("rowid",
-- "_rowid_" or "oid"; a table that took all three is left out).
CREATE TEMP VIEW quillbox_columns AS
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
  AND s.name NOT IN (SELECT name FROM temp.quillbox_derived);
