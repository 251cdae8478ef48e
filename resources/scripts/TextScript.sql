-- Prints an SQL text that, run on a database, prints the statements that set
-- each text value holding a NUL character, which the dump's text cuts short
-- there, to its exact bytes, by rowid. Fed to the shell after the dump has
-- been read back, they make every such value exact again. (Tables without a
-- rowid are left out: the census refuses NUL text in them.)
-- Every name is quoted, so no name can end a statement early or start a
-- shell command.
-- It reads the columns from temp.quillbox_columns (ColumnsScript), which
-- leaves out the derived tables of temp.quillbox_derived.
-- The program puts the shell settings this relies on, that list and that
-- view in front of it.
SELECT 'SELECT ''UPDATE "' || replace(replace(tname, '"', '""'), '''', '''''') || '" SET "' ||
       replace(replace(cname, '"', '""'), '''', '''''') ||
       '" = CAST(x'''''' || hex(CAST(' || col || ' AS BLOB)) || '''''' AS TEXT) WHERE ' || rid ||
       ' = '' || ' || rid || ' || '';'' FROM "' || replace(tname, '"', '""') ||
       '" NOT INDEXED WHERE typeof(' || col || ') = ''text'' AND instr(CAST(' || col ||
       ' AS BLOB), zeroblob(1)) > 0;'
FROM temp.quillbox_columns
ORDER BY tname, cid;
