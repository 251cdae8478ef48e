#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillbox
{

class QuerySeries;

// What the damage in a database means for its rows, judged from a full read
// of its file before anything is changed.
struct DamageVerdict {
    enum class Kind {
        Intact,     // the check found nothing
        Repairable, // only indexes or the freelist are damaged: every row is still in its table
        RowsLost,   // a table is damaged, or pages that no table reaches still hold rows
                    // (a table lost part of its tree, or its entry in the schema)
    };
    Kind kind = Kind::Intact;
    // The check's own lines that decided a verdict other than Intact.
    QString findings;

    // A b-tree the check found damage in, by the schema entry it belongs
    // to. An index only points at its table's rows and is built anew from
    // them; a table's tree holds the rows themselves (a WITHOUT ROWID
    // table's too, though its tree is shaped like an index's). A full-text
    // index (FTS3, FTS4, FTS5) keeps its index in tables of its own, which
    // it builds anew from the text it indexes (its own content table, or
    // the table it names): damage there, or an index its check finds
    // malformed, counts as the full-text table's, by its name.
    struct Tree {
        enum class Role { Table, Index, TextIndex };
        QString name;
        Role role = Role::Table;
        friend bool operator==(const Tree &, const Tree &) = default;
    };
    // Each damaged b-tree once, in the order the check first named it.
    QList<Tree> trees;
    // Pages that no b-tree reaches, and whether any of them holds table rows
    // that cannot be former free pages.
    qint64 unreachedPages = 0;
    bool unreachedRows = false;
    bool freelistDamaged = false;
    // The check stopped at damage it could not read past: what lies beyond
    // is unknown, so rows may be lost.
    bool cutShort = false;
    // The check's lines that name no page of a known b-tree.
    QStringList unplaced;
    // The tables that hold the damaged full-text indexes (each TextIndex
    // tree's postings, segments, sizes and statistics): their rows are
    // derived, to be built anew rather than read.
    QStringList derivedTables;
};

// Judges the database that `queries` read without changing it (its log is
// not folded into it). SQLite's quick check reads every page; each problem
// it reports is placed in the b-tree it belongs to (an index's problem is
// repairable, a table's is not), and each page that no b-tree reaches is
// looked at: one that holds table rows means rows were lost, unless the
// freelist is damaged too and such pages may be former free pages. Anything
// the check says that cannot be placed counts as rows lost, and so does a
// check that stopped before its end, unless it stopped at a damaged
// full-text index and every other table checks sound alone. Each full-text
// table is checked alone; damage in its index, or in the tables that hold
// it, is repairable when it keeps the text it indexes. nullopt when the
// check cannot run at all (not a database, say), and whenever `queries`
// saw trouble, which says nothing of the database. Its shell is set up
// with onlyRead(). Beside the kind, the verdict says which tables and
// indexes are damaged and what else the check found.
[[nodiscard]] std::optional<DamageVerdict> judgeDamage(QuerySeries &queries);

} // namespace quillbox
