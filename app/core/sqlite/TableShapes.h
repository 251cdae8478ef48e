#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The shape of a database's tables as its schema declares it: what a row
// of each holds, and what a value must be to fit there. The recovered copy
// is tidied with it: rows its recovery could not place are matched to a
// table, and the rows a damaged table lost are looked up in its indexes.
namespace quillbox
{

class QuerySeries;

// The affinity SQLite gives a column from its declared type.
enum class Affinity { Integer, Text, Blob, Real, Numeric };

struct ColumnShape {
    QString name;
    Affinity affinity = Affinity::Blob;
    QString strictType; // in a STRICT table, its type ("INTEGER", "TEXT", "ANY", …); else empty
    bool notNull = false;
    bool rowidAlias = false; // the INTEGER PRIMARY KEY of a rowid table: its rowid under a name
    // Computed from the others, and never inserted: when read (VIRTUAL), or
    // when written and then stored (STORED).
    enum class Generated { No, WhenRead, Stored } generated = Generated::No;
};

struct TableShape {
    QString name;
    enum class Kind { Ordinary, Internal, Shadow } kind = Kind::Ordinary;
    bool withoutRowid = false;
    QList<ColumnShape> columns; // in declared order, generated ones included

    // A name that reaches the rowid of a rowid table ("rowid", "_rowid_" or
    // "oid", or its INTEGER PRIMARY KEY), quoted for SQL; empty when every
    // one of those is taken by a column, or the table has no rowid.
    [[nodiscard]] QByteArray rowidName() const;
    // The number of values a row of the table stores: its columns, but for
    // the ones generated when read (VIRTUAL).
    [[nodiscard]] int storedValues() const;
};

// An index of a table.
struct IndexShape {
    QString name;
    QList<int> columns; // its key: the columns' numbers in the table; -1 for an expression
};

// The tables of the main database that `queries` read, virtual ones left
// out (their rows are not their own); nullopt when the schema cannot be
// read.
[[nodiscard]] std::optional<QList<TableShape>> readTableShapes(QuerySeries &queries);

// The indexes of each of `tables` (read by `queries`), by the table's
// number there, in the order of their names. Partial indexes are left out:
// a scan of one needs its condition.
[[nodiscard]] QHash<qsizetype, QList<IndexShape>> readIndexes(QuerySeries &queries,
                                                              const QList<TableShape> &tables);

// SQLite's affinity for a declared column type, by its rules in order:
// "INT" → Integer; "CHAR", "CLOB" or "TEXT" → Text; "BLOB" or none → Blob;
// "REAL", "FLOA" or "DOUB" → Real; anything else → Numeric.
[[nodiscard]] Affinity affinityOf(const QString &declaredType);

// Whether a stored value of SQLite type `type` ("null", "integer", "real",
// "text", "blob", as typeof() names them) can be one of `column`'s as it
// was written: a text in a numeric column, which SQLite keeps only when it
// does not read as a number, counts as not fitting.
[[nodiscard]] bool fits(const ColumnShape &column, QStringView type);

} // namespace quillbox
