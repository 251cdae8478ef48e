#pragma once

#include <QString>
#include <QStringList>

// The rows SQLite's recovery found on pages no table claimed, which it keeps
// in the table "lost_and_found" (rootpgno, pgno, nfield, id, c0, c1, …),
// put back in their own table where that table is beyond doubt.
namespace quillbox
{

class SqliteShell;

// The name of the table a recovery keeps rows in that it could not place:
// "lost_and_found", or when the database has a table of that name (in any
// case), the first of "lost_and_found_0", "lost_and_found_1", … it lacks.
[[nodiscard]] QString lostAndFoundName(const QStringList &tables);

// Moves each row of the table `lostAndFound` in the recovered database Library.sqlite
// in `folder` into its table, when
//  - exactly one table of the database fits it: as many stored values, each
//    of a type the column holds (a NULL for its INTEGER PRIMARY KEY, whose
//    value is the row's id), counting every table, internal ones too, though
//    only ordinary rowid tables without generated columns take rows;
//  - the row has an id, no other row of "lost_and_found" has the same id
//    for that table, and the table has no row with that id;
//  - the table's constraints let it in (a UNIQUE one may not).
// A row that is an entry of one of those tables' indexes (its key, then an
// id) for a row the table holds goes too: it comes from an index page that
// no b-tree reached, and holds nothing the table lacks (unless a table
// without rowid, whose rows have no id either, has as many values).
// Triggers do not fire: the recovered rows already hold what they did.
// The table is dropped when nothing is left in it. Returns the rows left
// there (0 when there is no such table, or it is not the recovery's), or -1
// when it could not be read (it is then as it was).
[[nodiscard]] qint64 placeLostRows(const SqliteShell &shell, const QString &folder,
                                   const QString &lostAndFound);

} // namespace quillbox
