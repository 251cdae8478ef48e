#include "app/core/salvage/Salvage.h"

#include "app/core/fs/FileTree.h"
#include "app/core/fs/FolderLock.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/salvage/LostAndFound.h"
#include "app/core/salvage/LostRows.h"
#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"
#include "app/core/sqlite/TableChecks.h"
#include "app/core/sqlite/TextIndexes.h"
#include "app/core/texts/RepairReport.h"
#include "app/core/texts/SalvageText.h"
#include "strings/FileNames.h"
#include "strings/PathArithmetic.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <tuple>

namespace quillbox
{
namespace
{

const QString kDamaged = QStringLiteral(".quillbox-damaged.sqlite");
const QString kRecoveredSql = QStringLiteral(".quillbox-recovered.sql");

// Rows each table of the damaged copy may hold, judged by its b-trees: the
// cells of the table's leaf pages, or the entries of its fullest index.
QHash<QString, qint64> expectedRows(const SqliteShell &damaged, const QString &folder)
{
    const SqliteShell::Output counted = damaged.query(
        folder, shellPreamble() +
                    "SELECT sum(CASE WHEN s.type = 'index' OR d.pagetype = 'leaf' THEN d.ncell "
                    "ELSE 0 END), json_array(s.tbl_name) FROM dbstat AS d JOIN sqlite_schema AS "
                    "s ON s.name = d.name GROUP BY d.name;\n");
    QHash<QString, qint64> expected;
    for (const QByteArray &text : counted.text.split('\n')) {
        const std::optional<ShellLine> line = splitShellLine(text, 1);
        if (!line || line->texts.size() != 1)
            continue;
        const QString &table = line->texts[0];
        expected[table] = std::max(expected.value(table), line->fields[0].toLongLong());
    }
    return expected;
}

// The rows of each table of the recovered database that holds rows of its
// own: its ordinary tables, and virtual ones that can count theirs; not the
// tables a full-text index keeps its postings in, which mean nothing to the
// user, nor SQLite's own.
QList<SalvageReport::Table> recoveredRows(const SqliteShell &shell, const QString &folder)
{
    const SqliteShell::Output listed = shell.query(
        folder, shellPreamble() + "SELECT json_array(name) FROM pragma_table_list WHERE schema = "
                                  "'main' AND type IN ('table', 'virtual') AND name NOT LIKE "
                                  "'sqlite_%' ORDER BY name;\n");
    QByteArray script = shellPreamble() + ".bail off\n";
    QStringList names;
    for (const QByteArray &text : listed.text.split('\n')) {
        const std::optional<ShellLine> line = splitShellLine(text, 0);
        if (!line || line->texts.size() != 1)
            continue;
        names.append(line->texts[0]);
        script += "SELECT " + QByteArray::number(names.size() - 1) + ", count(*) FROM main." +
                  sqlName(names.last()) + ";\n";
    }
    const SqliteShell::Output counted = shell.query(folder, script);
    QList<SalvageReport::Table> tables;
    for (const QByteArray &line : counted.text.split('\n')) {
        const QByteArrayList fields = line.split('|');
        const qsizetype number = fields.value(0).toLongLong();
        if (fields.size() == 2 && number >= 0 && number < names.size())
            tables.append({names[number], fields[1].toLongLong(), -1});
    }
    return tables;
}

// Builds each full-text index of the recovered copy in `folder` anew from
// its text, where it keeps its text: the recovery copies an index's own
// tables as it found them, damage and all. One that cannot be built stays
// as it was recovered.
void rebuildTextIndexes(const SqliteShell &shell, const QString &folder)
{
    QuerySeries queries(shell, folder);
    const std::optional<FullTextTables> fullText = findFullTextTables(queries);
    if (!fullText || fullText->derivedOwners.isEmpty())
        return;
    DerivedRows rows;
    rows.tables = fullText->derivedOwners.keys();
    for (const QString &owner : fullText->derivedOwners) {
        if (!rows.indexes.contains(owner))
            rows.indexes.append(owner);
    }
    std::ignore =
        shell.withSetup(rebuilding()).run(folder, {".bail off\n" + rebuildStatements(rows)});
}

// Whether the damaged database's list of free pages is damaged, as SQLite's
// check of its b-trees finds; true when the check cannot tell.
bool freelistDamaged(const SqliteShell &damaged, const QString &folder)
{
    const SqliteShell::Output checked =
        damaged.withModules(SqliteShell::Modules::WithoutFullText)
            .query(folder, shellPreamble() + ".bail off\nPRAGMA quick_check;\n");
    return checked.text.isEmpty() || checked.text.toLower().contains("freelist");
}

// The names in the schema of the database the shell opens in `folder`.
QStringList schemaNames(const SqliteShell &shell, const QString &folder)
{
    QStringList names;
    const SqliteShell::Output listed =
        shell.query(folder, shellPreamble() + "SELECT json_array(name) FROM sqlite_schema;\n");
    for (const QByteArray &text : listed.text.split('\n')) {
        if (const std::optional<ShellLine> line = splitShellLine(text, 0))
            names.append(line->texts);
    }
    return names;
}

// Adds to each table of `report` the rows it lost.
void addLostRows(SalvageReport &report, const QList<LostRows> &lost)
{
    for (const LostRows &rows : lost) {
        for (SalvageReport::Table &table : report.tables) {
            if (table.name == rows.table) {
                table.lost = rows.rows;
                table.lostUnlisted = rows.unlisted;
            }
        }
    }
}

// Recovers the damaged copy in `folder` into Library.sqlite there.
SalvageReport recoverInto(const SqliteShell &shell, const QString &folder)
{
    SalvageReport report;
    const SqliteShell damaged = shell.onDatabase(kDamaged).withSetup(onlyRead());
    const QHash<QString, qint64> expected = expectedRows(damaged, folder);
    report.lostAndFoundTable = lostAndFoundName(schemaNames(damaged, folder));
    // The free pages hold rows that were deleted, not lost: they are read
    // only when the list of them is itself damaged, and may then hold pages
    // a table lost.
    const QByteArray recover =
        freelistDamaged(damaged, folder) ? ".recover\n" : ".recover --ignore-freelist\n";
    const SqliteShell::FileRun recovered =
        damaged.runToFile(folder, recover, inFolder(folder, kRecoveredSql));
    if (recovered.status != 0 || recovered.writeError != 0) {
        report.failure = recovered.writeError != 0 ? SalvageReport::Failure::CouldNotWrite
                                                   : SalvageReport::Failure::CouldNotRecover;
        report.detail = QString::fromLocal8Bit(recovered.errors.trimmed());
        return report;
    }
    // The recovery's text, which holds the damaged library's names, schema
    // and values, goes to the shell on its standard input, in safe mode.
    // The header says whether the library used a write-ahead log.
    QFile header(inFolder(folder, kDamaged));
    const bool wal = header.open(QIODevice::ReadOnly) && header.read(20).mid(18, 1) == "\x02";
    const SqliteShell::Ending built =
        shell.withSetup(rebuilding())
            .run(folder,
                 {{}, inFolder(folder, kRecoveredSql), wal ? "PRAGMA journal_mode=WAL;\n" : ""});
    if (built.status == 0) {
        std::ignore = placeLostRows(shell, folder, report.lostAndFoundTable);
        rebuildTextIndexes(shell, folder);
    }
    // Every b-tree is whole; a full-text index that could not be built anew
    // may still not match its text.
    const SqliteShell::Output checked =
        shell.withModules(SqliteShell::Modules::WithoutFullText)
            .query(folder, shellPreamble() + "PRAGMA integrity_check;\n");
    if (built.status != 0 || checked.status != 0 || checked.text != "ok\n") {
        report.failure = SalvageReport::Failure::CouldNotRecover;
        report.detail =
            QString::fromLocal8Bit((built.status != 0 ? built : checked).errors.trimmed());
        return report;
    }
    for (SalvageReport::Table &table : recoveredRows(shell, folder)) {
        if (table.name == report.lostAndFoundTable) {
            report.lostAndFound = table.recovered;
            continue;
        }
        table.expected = expected.value(table.name, -1);
        report.tables.append(table);
    }
    addLostRows(report, findLostRows(damaged, shell, folder));
    return report;
}

// Writes the list of lost rows of `report` into `folder`, under a name no
// file of the library has; the name, or empty when there is nothing to list
// or it could not be written (the copy is complete without it).
QString writeLostItems(const SalvageReport &report, const QString &folder)
{
    const QString text = lostItemsText(report);
    if (report.failure != SalvageReport::Failure::None || text.isEmpty())
        return {};
    QString name = bf::makeFilenameUniqueInDirectory(lostItemsFileName(), folder);
    QFile file(inFolder(folder, name));
    const QByteArray bytes = text.toUtf8();
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.write(bytes) == bytes.size() &&
        file.flush())
        return name;
    file.remove();
    return {};
}

} // namespace

QString recoveredCopyName(const QString &libraryName)
{
    const QString base = bf::stringByDeletingPathExtension(libraryName);
    return bf::stringByAppendingPathExtension(base + QStringLiteral(" (Recovered)"),
                                              bf::pathExtension(libraryName));
}

SalvageReport salvageLibrary(const SqliteShell &shell, const QString &source, const QString &parent,
                             const QString &libraryName, const QString &partial)
{
    SalvageReport report;
    if (const Expected<> copied = copyTree(source, partial); !copied) {
        std::ignore = removeTree(partial);
        report.failure = SalvageReport::Failure::CouldNotWrite;
        report.detail = copied.error();
        return report;
    }
    // The copy's database files take a name of their own, so that the
    // recovered database can take the library's.
    // A rollback journal goes with them, so the shell rolls it back into the
    // database it belongs to, and nothing puts it beside the recovered one.
    for (const QString &suffix : {QString(), u"-wal"_qs, u"-shm"_qs, u"-journal"_qs}) {
        if (bf::itemExists(inFolder(partial, kDatabaseName + suffix)))
            std::ignore = renameNoReplace(inFolder(partial, kDatabaseName + suffix),
                                          inFolder(partial, kDamaged + suffix));
    }
    report = recoverInto(shell, partial);
    const QString lostItems = writeLostItems(report, partial);
    const bool found =
        report.lostAndFound > 0 || std::any_of(report.tables.begin(), report.tables.end(),
                                               [](const auto &t) { return t.recovered > 0; });
    if (report.failure == SalvageReport::Failure::None && !found)
        report.failure = SalvageReport::Failure::NothingFound;
    for (const QString &name : {kDamaged, kDamaged + u"-wal"_qs, kDamaged + u"-shm"_qs,
                                kDamaged + u"-journal"_qs, kRecoveredSql})
        std::ignore = removeTree(inFolder(partial, name));
    const QString final =
        inFolder(parent, bf::makeFilenameUniqueInDirectory(recoveredCopyName(libraryName), parent));
    if (report.failure == SalvageReport::Failure::None) {
        std::optional<QString> error;
        if (const Expected<> flushed = syncTree(partial); !flushed)
            error = flushed.error();
        else if (const Expected<> named = renameNoReplace(partial, final); !named)
            error = named.error();
        if (error) {
            report.failure = SalvageReport::Failure::CouldNotWrite;
            report.detail = *error;
        } else {
            std::ignore = syncFolder(parent);
            report.recoveredPath = final;
            if (!lostItems.isEmpty())
                report.lostItemsFile = inFolder(final, lostItems);
        }
    }
    if (report.recoveredPath.isEmpty())
        std::ignore = removeTree(partial);
    return report;
}

} // namespace quillbox

namespace quillbox
{

SalvageReport salvageOnly(const SqliteShell &shell, const QString &library)
{
    SalvageReport report;
    const QString folder = QFileInfo(library).canonicalFilePath();
    if (folder.isEmpty() || !QFileInfo(inFolder(folder, kDatabaseName)).isFile()) {
        report.failure = SalvageReport::Failure::NoLibrary;
        report.detail = library;
        return report;
    }
    FolderLocks locks;
    switch (locks.lock(folder)) {
    case FolderLocks::Result::Taken:
        break;
    case FolderLocks::Result::Unsupported:
        report.failure = SalvageReport::Failure::Unlockable;
        report.detail = lockUnsupportedText(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return report;
    case FolderLocks::Result::Held:
    case FolderLocks::Result::Failed:
        report.failure = SalvageReport::Failure::Busy;
        return report;
    }
    const QString parent = QFileInfo(folder).absolutePath();
    return salvageLibrary(
        shell, folder, parent, bf::lastPathComponent(folder),
        inFolder(parent,
                 u".quillbox-salvage-"_qs + QUuid::createUuid().toString(QUuid::Id128).left(12)));
}

} // namespace quillbox
