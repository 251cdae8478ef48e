#include "app/core/LibraryRepair.h"

#include "app/core/Alerts.h"
#include "app/core/Companion.h"
#include "app/core/CompanionApps.h"
#include "app/core/DatabaseLocks.h"
#include "app/core/FileTree.h"
#include "app/core/LibraryFolder.h"
#include "app/core/RepairReport.h"
#include "app/core/ShellSettings.h"
#include "app/core/TextIndexes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <future>
#include <tuple>

namespace quillbox
{
namespace
{

const QByteArray kEndOfDump = QByteArrayLiteral("COMMIT;\n");

// True when the dump file holds exactly what the shell printed and ends in
// the marker the shell writes last.
bool dumpIsComplete(const QString &path, const SqliteShell::FileRun &dump)
{
    QFile file(path);
    const qint64 size = file.size();
    if (size != dump.bytes || size < kEndOfDump.size() || !file.open(QIODevice::ReadOnly) ||
        !file.seek(size - kEndOfDump.size()))
        return false;
    return file.read(kEndOfDump.size()) == kEndOfDump;
}

// True when the header of the database at `path` says it keeps a
// write-ahead log (file format versions 2).
bool keepsLog(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(20).mid(18, 2) == "\x02\x02";
}

// The statements that drop the statistics tables a dump's "ANALYZE
// sqlite_schema" makes and the damaged database did not have: our shell
// keeps STAT4 samples, and a library analysed by an SQLite without them
// would otherwise gain an empty sqlite_stat4.
QByteArray statisticsNotKept(const Census &census)
{
    QByteArray statements;
    for (const char *table : {"sqlite_stat1", "sqlite_stat4"}) {
        if (!census.tables.contains(QLatin1String(table)))
            statements += QByteArray("DROP TABLE IF EXISTS ") + table + ";\n";
    }
    return statements;
}

// The permission bits of the file at `path`; nullopt when it cannot be read.
std::optional<mode_t> permissions(const QString &path)
{
    struct stat st {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st.st_mode & 07777;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

LibraryRepair::LibraryRepair(RepairServices services, SqliteShell shell, QString libraryPath)
    : services_(services), shell_(std::move(shell)), libraryPath_(std::move(libraryPath))
{
}

void LibraryRepair::report(RepairStage stage, double fraction)
{
    reported_ = std::clamp(fraction, reported_, 1.0);
    if (progress_)
        progress_(stage, reported_);
}

void LibraryRepair::record(RepairPhase phase)
{
    record_.phase = phase;
    // A journal that cannot be written costs only the recovery after a
    // crash; the repair itself stays safe, so it goes on.
    if (journal_ != nullptr)
        std::ignore = journal_->write(record_);
}

RepairOutcome LibraryRepair::fixLibrary()
{
    const std::optional<Failure> failure = repair();
    // What the shells made wait goes back before anything is shown; what
    // another program's repair set aside is not ours to put back.
    if (!failure || (failure->cause != Cause::AlreadyRunning && failure->cause != Cause::NoLibrary))
        putJournalNameBack(libraryPath_);
    RepairOutcome outcome = RepairOutcome::Fixed;
    if (failure) {
        outcome = conclude(*failure);
    } else {
        report(RepairStage::Check, 1.0);
        services_.alerts.runModal(fixedAlert({libraryPath_, backupPath_, droppedAttributes_}));
    }
    // The record of another program's repair is not ours to clear.
    if (journal_ != nullptr && outcome != RepairOutcome::AlreadyRunning)
        journal_->clear();
    locks_.release();
    return outcome;
}

std::optional<Failure> LibraryRepair::repair()
{
    if (auto failure = openLibrary())
        return failure;
    if (auto failure = checkReady())
        return failure;
    if (auto failure = makeSafetyCopy())
        return failure;
    if (const auto error = setJournalNameAside(libraryPath_))
        return dropUnfinishedCopy({Cause::ReadOnly, *error, libraryPath_});
    Examination examined = dumpAndExamine();
    // Damaged full-text indexes are built anew from their content: the
    // dump and the census are taken again without their derived rows.
    if (!canceled() && examined.verdict &&
        examined.verdict->kind == DamageVerdict::Kind::Repairable &&
        !examined.verdict->derivedTables.isEmpty() && !examined.trouble)
        examined = dumpAndExamine(examined.verdict);
    if (canceled())
        return dropUnfinishedCopy({Cause::Canceled});
    if (auto failure = secureSafetyCopy())
        return failure;
    if (auto failure = judge(examined))
        return failure;
    // From here on the library changes: the repair runs to its end.
    const DatabaseFile damaged = describeDatabase();
    auto damagedDigests = removeDamagedDatabase(*examined.census);
    if (auto failure = rebuild(*examined.census, damaged))
        return failure;
    if (auto failure = verify(*examined.census, damagedDigests))
        return failure;
    record(RepairPhase::Rebuilt);
    QFile::remove(inFolder(libraryPath_, kDumpName));
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::openLibrary()
{
    if (libraryPath_.isEmpty() || !QFileInfo(libraryPath_).isDir())
        return Failure{Cause::NoLibrary};
    // A library reached through a symbolic link is repaired where it really
    // lives, with its safety copy beside it there.
    libraryPath_ = QFileInfo(libraryPath_).canonicalFilePath();
    // Before the folder is even looked at: while another program repairs
    // it, its database may be missing for a moment.
    if (auto failure = takeLocks())
        return failure;
    return databaseFileProblem();
}

std::optional<Failure> LibraryRepair::takeLocks()
{
    // A state folder that cannot be locked cannot hold a journal either; the
    // library's own lock still keeps every other program out of it.
    if (journal_ != nullptr && QDir().mkpath(journal_->folder()) &&
        locks_.lock(journal_->folder()) == FolderLocks::Result::Held)
        return Failure{Cause::AlreadyRunning};
    switch (locks_.lock(libraryPath_)) {
    case FolderLocks::Result::Taken:
        return std::nullopt;
    case FolderLocks::Result::Held:
        return Failure{Cause::AlreadyRunning};
    case FolderLocks::Result::Unsupported:
        // Without a lock, another repair could work on the library at the
        // same time: no repair goes on without one.
        return Failure{Cause::LockUnsupported, systemError(errno), libraryPath_};
    case FolderLocks::Result::Failed:
        break;
    }
    return Failure{Cause::FolderUnopenable, systemError(errno), libraryPath_};
}

std::optional<Failure> LibraryRepair::databaseFileProblem() const
{
    // The shell follows links, and SQLite keeps a linked database's -wal and
    // -shm beside the link's target: only plain files inside the folder are
    // worked on, so nothing outside it is ever written.
    // A link or a folder under the rollback journal's name keeps SQLite from
    // opening the database at all.
    for (const QString &name :
         {kDatabaseName, kDatabaseName + u"-wal"_qs, kDatabaseName + u"-shm"_qs, kJournalName}) {
        struct stat st {
        };
        const QString path = inFolder(libraryPath_, name);
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
            if (name == kDatabaseName)
                return Failure{Cause::NoDatabase, {}, name};
            continue;
        }
        if (!S_ISREG(st.st_mode))
            return Failure{Cause::DatabaseNotPlain, {}, path};
        if (name == kDatabaseName && st.st_size == 0)
            return Failure{Cause::DatabaseEmpty, {}, path};
    }
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::checkUnused()
{
    if (services_.apps.isRunning(companion::kMainIdentifier) ||
        services_.apps.isRunning(companion::kAlternateIdentifier))
        return Failure{Cause::CompanionRunning};
    if (isDatabaseInUse(libraryPath_, std::chrono::seconds(2)))
        return Failure{Cause::Locked};
    if (!shell_.isUsable())
        return Failure{Cause::ShellMissing, {}, shell_.executable()};
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::checkReady()
{
    if (auto failure = checkUnused())
        return failure;
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    for (const QString &folder : {libraryPath_, parent}) {
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
            return Failure{Cause::ReadOnly, systemError(errno), folder};
    }
    return checkSpace();
}

std::chrono::milliseconds LibraryRepair::shellTimeLimit() const
{
    // A shell that hangs is stopped: ten minutes, and a minute more for every
    // 100 MB of database, is far more than any run takes.
    const qint64 databaseSize = fileSize(inFolder(libraryPath_, kDatabaseName)) +
                                fileSize(inFolder(libraryPath_, kDatabaseName + u"-wal"_qs));
    return shellTimeLimit_.value_or(std::chrono::minutes(10 + databaseSize / (qint64{100} << 20)));
}

LibraryRepair::Examination
LibraryRepair::dumpAndExamine(const std::optional<DamageVerdict> &earlier)
{
    const qint64 databaseSize = fileSize(inFolder(libraryPath_, kDatabaseName)) +
                                fileSize(inFolder(libraryPath_, kDatabaseName + u"-wal"_qs));
    // Until the dump is done, a cancel stops the shell too.
    shell_.setTimeLimit(shellTimeLimit());
    shell_.setCancelFlag(cancelFlag_);
    // While the dump runs (it mostly waits for the disk), two more readers
    // judge the damage and read every table once: damage that already lost
    // rows, or a table that cannot be read to its end, is beyond repair. A
    // second look, after an `earlier` one found damaged full-text indexes,
    // is not judged again and leaves out the rows of their derived tables.
    const SqliteShell reader = shell_.withSetup(onlyRead(Reads::Mapped));
    const DerivedRows derived = earlier ? derivedRowsOf(*earlier) : DerivedRows{};
    // Each reader's result, with the first of its runs that was stopped and
    // what its last run said.
    using Judged =
        std::tuple<std::optional<DamageVerdict>, std::optional<SqliteShell::Ending>, QByteArray>;
    auto judging = std::async(earlier ? std::launch::deferred : std::launch::async,
                              [&reader, &earlier, folder = libraryPath_] {
                                  if (earlier)
                                      return Judged{earlier, std::nullopt, {}};
                                  QuerySeries queries(reader, folder);
                                  auto verdict = judgeDamage(queries);
                                  return Judged{verdict, queries.trouble(), queries.last().errors};
                              });
    auto counting = std::async(std::launch::async, [&reader, &derived, folder = libraryPath_] {
        QuerySeries queries(reader, folder);
        auto census = takeCensus(queries, derived);
        return std::tuple{census, queries.trouble(), queries.last().errors};
    });
    // The dump's text is usually somewhat larger than the database it holds.
    const double estimate = std::max<double>(1.0, 1.2 * static_cast<double>(databaseSize));
    const QString dumpPath = inFolder(libraryPath_, kDumpName);
    report(RepairStage::Dump, kCopyEnd);
    Examination examined;
    examined.dump =
        shell_.withSetup(onlyRead())
            .runToFile(libraryPath_,
                       shellSettings() + skippedTables(derived) +
                           loadScript(QStringLiteral("DumpScript")),
                       dumpPath, [&] {
                           const double done = static_cast<double>(fileSize(dumpPath)) / estimate;
                           report(RepairStage::Dump,
                                  kCopyEnd + (kDumpEnd - kCopyEnd) * std::min(done, 0.98));
                       });
    const auto [verdict, judged, judgeSaid] = judging.get();
    const auto [census, counted, censusSaid] = counting.get();
    shell_.setCancelFlag(nullptr);
    examined.verdict = verdict;
    examined.census = census;
    examined.readersSaid = examined.dump.errors + (verdict ? QByteArray() : judgeSaid) +
                           (census ? QByteArray() : censusSaid);
    // A shell that could not start, was stopped or was killed says more
    // than the rest: it tells nothing of the library.
    const std::optional<SqliteShell::Ending> dumped =
        examined.dump.troubled() ? std::optional<SqliteShell::Ending>(examined.dump) : std::nullopt;
    for (const auto *trouble : {&dumped, &judged, &counted}) {
        if (*trouble) {
            examined.trouble = shellFailure(**trouble);
            break;
        }
    }
    return examined;
}

std::optional<Failure> LibraryRepair::judge(const Examination &examined)
{
    const QString dumpPath = inFolder(libraryPath_, kDumpName);
    // A dump that could not be written in full is the disk's fault, not the
    // library's, whatever the shell or the look made of it.
    if (examined.dump.writeError != 0)
        return Failure{Cause::DiskWrite, systemError(examined.dump.writeError)};
    if (examined.trouble)
        return examined.trouble;
    // A database another program holds cannot be read; that is no damage.
    // Nor is one that a reader waited for in vain, though it is free now.
    if ((!examined.census || !examined.verdict || examined.dump.status != 0) &&
        (isDatabaseInUse(libraryPath_) || examined.readersSaid.contains("database is locked")))
        return Failure{Cause::Locked, {}, {}, 0, 0, removeLeftovers({dumpPath})};
    if (!examined.census || !examined.verdict ||
        examined.verdict->kind == DamageVerdict::Kind::RowsLost)
        return Failure{Cause::Corrupt, QString::fromLocal8Bit(examined.dump.errors.trimmed())};
    if (examined.census->rowsWithNulText > 0)
        return Failure{Cause::UnsafeText, {}, {}, 0, 0, removeLeftovers({dumpPath})};
    if (examined.dump.status != 0)
        return shellRunFailure(examined.dump);
    report(RepairStage::Check, kDumpEnd);
    if (!dumpIsComplete(dumpPath, examined.dump))
        return shellRunFailure(examined.dump);
    return std::nullopt;
}

LibraryRepair::DatabaseFile LibraryRepair::describeDatabase() const
{
    const QString path = inFolder(libraryPath_, kDatabaseName);
    return {permissions(path), fileSize(path) + fileSize(path + u"-wal"_qs), keepsLog(path)};
}

std::optional<Failure> LibraryRepair::rebuild(const Census &census, const DatabaseFile &damaged)
{
    const QString databasePath = inFolder(libraryPath_, kDatabaseName);
    const double estimate = std::max<double>(1.0, static_cast<double>(damaged.size));
    // The dump's text goes to the shell on its standard input, in safe
    // mode: it holds the library's names, schema and values, which must not
    // be able to run anything. After its rows come the REAL values and the
    // text with NUL characters that its text could not hold exactly, set
    // from their bytes; the statistics tables the library did not have go;
    // then the write-ahead log, which the damaged database kept, if it did.
    const SqliteShell rebuilder = shell_.withSetup(rebuilding());
    const SqliteShell::Input input{
        loadScript(QStringLiteral("FixScript")), inFolder(libraryPath_, kDumpName),
        census.exactReals + census.exactText + census.textIndexes + statisticsNotKept(census) +
            (damaged.keepsLog ? "PRAGMA journal_mode=WAL;\n" : "")};
    // What the rebuild has written so far goes on to the disk while it runs,
    // so the flush before it is called done has only the last part to wait for.
    report(RepairStage::Rebuild, kRebuildStart);
    const SqliteShell::Ending rebuilt = rebuilder.run(libraryPath_, input, [&] {
        startWriteback(databasePath);
        const double done = static_cast<double>(fileSize(databasePath)) / estimate;
        report(RepairStage::Rebuild,
               kRebuildStart + (kRebuildEnd - kRebuildStart) * std::min(done, 0.98));
    });
    if (rebuilt.status != 0)
        return shellRunFailure(rebuilt);
    // The new database keeps who may read and write it.
    if (damaged.mode)
        ::chmod(QFile::encodeName(databasePath).constData(), *damaged.mode);
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::verify(const Census &census,
                                             std::future<Digests> &damagedDigests)
{
    // The end-of-dump marker alone is not proof: a shell may close the dump
    // of a damaged table with COMMIT and leave out the rows it could not read,
    // so the new database is checked. Meanwhile another core flushes it and
    // its folder (the old files gone by then), since the rebuild did not wait
    // for the disk; it counts as done only when both have succeeded.
    report(RepairStage::Check, kRebuildEnd);
    const Digests damaged = damagedDigests.get();
    const QString databasePath = inFolder(libraryPath_, kDatabaseName);
    auto flushing = std::async(std::launch::async, [databasePath, folder = libraryPath_] {
        return syncFile(databasePath) && syncFolder(folder);
    });
    // The rebuild has just written every page, so the file is in memory
    // already and is mapped; its two halves are read on both cores. The
    // indexes are not read again: CREATE INDEX has just built them from the
    // very rows compared here.
    const Digests rebuilt =
        digestTables(shell_.withSetup(onlyRead(Reads::Mapped)), libraryPath_, census, Cores::Two);
    const bool flushed = flushing.get();
    // A shell that could not give its digests says nothing of the library.
    for (const Digests *digests : {&damaged, &rebuilt}) {
        if (digests->troubled)
            return shellFailure(*digests->troubled);
    }
    if (!damaged.text || rebuilt.text != damaged.text)
        return Failure{Cause::Corrupt};
    if (!flushed)
        return Failure{Cause::DiskWrite};
    return std::nullopt;
}

std::future<Digests> LibraryRepair::removeDamagedDatabase(const Census &census)
{
    // Each damaged file is renamed to a hidden name at once, which frees
    // the names for the rebuild. Under those names, which keep the database
    // and its log together, the other core digests every table of the
    // damaged database while the rebuild runs, then removes the files
    // (removing a large file gives its blocks back before the call returns,
    // which takes a while). Were the repair stopped before the rebuild is
    // done, the safety copy goes back and these names go with the damaged
    // folder.
    const QString hidden = u".quillbox-removed-"_qs;
    const QStringList doomed{kDatabaseName, kDatabaseName + u"-shm"_qs, kDatabaseName + u"-wal"_qs};
    const QStringList entries =
        QDir(libraryPath_).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QStringList renamed;
    for (const QString &entry : entries) {
        if (!doomed.contains(entry))
            continue;
        const QString path = inFolder(libraryPath_, entry);
        if (!renameNoReplace(path, inFolder(libraryPath_, hidden + entry)))
            renamed.append(inFolder(libraryPath_, hidden + entry));
        else
            removeTree(path);
    }
    return std::async(
        std::launch::async,
        [renamed, census, folder = libraryPath_,
         shell = shell_.onDatabase(hidden + kDatabaseName).withSetup(onlyRead(Reads::Mapped))] {
            // One core: the other one rebuilds.
            Digests digests = digestTables(shell, folder, census, Cores::One);
            for (const QString &path : renamed)
                removeTree(path);
            return digests;
        });
}

} // namespace quillbox
