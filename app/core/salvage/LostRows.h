#pragma once

#include "app/core/outcomes/SalvageReport.h"

#include <QList>
#include <QString>

// The rows a damaged table lost, found by what its indexes still hold:
// an index keeps the id of every row it covers, and the values of its
// columns, so a lost note can be named by the title its index kept.
namespace quillbox
{

class SqliteShell;

// Every row of an ordinary rowid table of the damaged database (which the
// shell `damaged` opens in `folder`) whose id the table's own
// b-tree or one of its indexes (partial ones left out) still holds, and
// which the same table of the recovered database Library.sqlite in
// `folder` lacks, with the values the indexes hold of it. Tables without
// such rows are left out, and so are tables the recovered database lacks.
// Only what can be read counts: a damaged index yields what it can. Empty
// when nothing can be read, or a shell fails.
[[nodiscard]] QList<LostRows> findLostRows(const SqliteShell &damaged, const SqliteShell &recovered,
                                           const QString &folder);

} // namespace quillbox
