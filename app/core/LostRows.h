#pragma once

#include <QList>
#include <QString>

// The rows a damaged table lost, found by what its indexes still hold:
// an index keeps the id of every row it covers, and the values of its
// columns, so a lost note can be named by the title its index kept.
namespace quillbox
{

class SqliteShell;

// A value an index holds of a lost row, as a person reads it.
struct KnownValue {
    QString column;
    QString value;       // text as it was; a number in SQL's digits; a BLOB as x'…'; "NULL"
    bool isText = false; // a text value, which is quoted where it is shown
};

// A row that a table of the damaged database held and the recovered copy
// lacks.
struct LostRow {
    qint64 id = 0; // its rowid
    QList<KnownValue> known;
};

// The rows one table lost, by rising id.
struct LostRows {
    QString table;
    QList<LostRow> rows; // the first kMaxListedRows of them
    qint64 unlisted = 0; // how many more there are
};

inline constexpr qsizetype kMaxListedRows = 100000;

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
