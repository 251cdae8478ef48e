-- Creates the database afresh from "Library.sql". The shell stops at the
-- first failing statement and exits with a non-zero status. What the
-- statements print (the journal mode, for one) is discarded.
.bail on
.echo off
.headers off
.mode list
.changes off
.timer off
.output /dev/null
.read Library.sql
.output stdout
