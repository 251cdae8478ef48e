#pragma once

#include <QList>
#include <QString>

// What a salvage saved of a damaged library, and what it lost.
namespace quillbox
{

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

// What a salvage saved.
struct SalvageReport {
    struct Table {
        QString name;
        qint64 recovered = 0;
        qint64 expected = -1; // what the damaged b-trees suggest; -1 when unknown
        // The rows it lost that its indexes still name, by rising id, and
        // how many more there are beyond those.
        QList<LostRow> lost = {};
        qint64 lostUnlisted = 0;
    };
    QString recoveredPath;   // the recovered copy; empty when none was written
    QList<Table> tables;     // the tables of the recovered database, by name
    qint64 lostAndFound = 0; // rows no table could be found for
    QString lostAndFoundTable = QStringLiteral("lost_and_found"); // the table they are in
    QString lostItemsFile; // the list of lost rows in the recovered copy; empty when none
    enum class Failure {
        None,
        NothingFound,
        CouldNotWrite,
        CouldNotRecover,
        NoLibrary,
        Busy,
        Unlockable, // the folder's file system cannot lock it; detail says so, in words
    };
    Failure failure = Failure::None;
    QString detail; // the system's or the shell's own words on a failure
};

} // namespace quillbox
