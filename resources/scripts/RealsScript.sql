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
-- It reads the columns from temp.quillbox_columns (ColumnsScript), which
-- leaves out the derived tables of temp.quillbox_derived.
-- The program puts the shell settings this relies on, that list and that
-- view in front of it.
SELECT 'SELECT ''UPDATE "' || replace(replace(tname, '"', '""'), '''', '''''') || '" SET "' ||
       replace(replace(cname, '"', '""'), '''', '''''') ||
       '" = ieee754_from_blob(x'''''' || hex(ieee754_to_blob(' || col || ')) || '''''') WHERE ' ||
       rid || ' = '' || ' || rid || ' || '';'' FROM "' || replace(tname, '"', '""') ||
       '" NOT INDEXED WHERE ' ||
       replace('CASE WHEN typeof(@) = ''real'' THEN (abs(@) < 2.2250738585072014e-308 AND @ <> 0.0)' ||
               ' OR ieee754_to_blob(CAST(CASE WHEN abs(@) < 9.2e18 AND @ = CAST(@ AS INTEGER)' ||
               ' THEN CAST(@ AS INTEGER) || ''.0'' ELSE printf(''%!.20g'', @) END AS REAL))' ||
               ' <> ieee754_to_blob(@) ELSE 0 END;', '@', col)
FROM temp.quillbox_columns
ORDER BY tname, cid;
