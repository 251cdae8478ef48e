#pragma once

#include <QString>

#include <optional>

namespace quillbox
{

class SqliteShell;

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
};

// Judges Library.sqlite in `folder` without changing it (its log is not
// folded into it): SQLite's quick check reads every page; each problem it
// reports is placed in the b-tree it belongs to (an index's problem is
// repairable, a table's is not), and each page that no b-tree reaches is
// looked at: one that holds table rows means rows were lost, unless the
// freelist is damaged too and such pages may be former free pages. Anything
// the check says that cannot be placed counts as rows lost. nullopt when the
// check itself cannot run (not a database, say). `shell` is set up with
// onlyRead().
[[nodiscard]] std::optional<DamageVerdict> judgeDamage(const SqliteShell &shell,
                                                       const QString &folder);

} // namespace quillbox
