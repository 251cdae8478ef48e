#include "app/core/repair/LibraryRepair.h"

#include "app/core/companion/Companion.h"
#include "app/core/companion/CompanionApps.h"
#include "app/core/frontend/Alerts.h"
#include "app/core/fs/FileTree.h"
#include "app/core/library/DatabaseLocks.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/TextIndexes.h"
#include "app/core/texts/RepairReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

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

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a reader beside the dump found, the first of its runs that was
// stopped, and what its last run said.
template<typename Found>
using ReaderResult =
    std::tuple<std::optional<Found>, std::optional<SqliteShell::Ending>, QByteArray>;

// The damage, judged by a reader of its own while the dump runs: damage
// that already lost rows is beyond repair. A second look, after an
// `earlier` one found damaged full-text indexes, is not judged again.
std::future<ReaderResult<DamageVerdict>> judgeBeside(const SqliteShell &reader,
                                                     const QString &folder,
                                                     const std::optional<DamageVerdict> &earlier)
{
    if (earlier) {
        std::promise<ReaderResult<DamageVerdict>> known;
        known.set_value({earlier, std::nullopt, {}});
        return known.get_future();
    }
    return std::async(std::launch::async, [reader, folder] {
        QuerySeries queries(reader, folder);
        auto verdict = judgeDamage(queries);
        return ReaderResult<DamageVerdict>{verdict, queries.trouble(), queries.last().errors};
    });
}

// Every table read once by another reader while the dump runs, leaving out
// the `derived` rows: a table that cannot be read to its end is beyond
// repair.
std::future<ReaderResult<Census>> countBeside(const SqliteShell &reader, const QString &folder,
                                              const DerivedRows &derived)
{
    return std::async(std::launch::async, [reader, folder, derived] {
        QuerySeries queries(reader, folder);
        auto census = takeCensus(queries, derived);
        return ReaderResult<Census>{census, queries.trouble(), queries.last().errors};
    });
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
        outcome = endAfterFailure(*failure);
    } else {
        report(RepairStage::Check, 1.0);
        services_.alerts.runModal(
            fixedAlert({libraryPath_, backupPath_, droppedAttributes_, keptRows_}));
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
    Examination examined = dumpAndExamine();
    // A new database that is not finished goes, whichever way the repair ends.
    const auto abandon = qScopeGuard([&] { abandonRebuild(examined); });
    // Damaged full-text indexes are built anew from their content: the
    // dump and the census are taken again without their derived rows.
    if (!canceled() && examined.verdict &&
        examined.verdict->kind == DamageVerdict::Kind::Repairable &&
        !examined.verdict->derivedTables.isEmpty() && !examined.trouble) {
        abandonRebuild(examined);
        examined = dumpAndExamine(examined.verdict);
    }
    if (canceled())
        return dropUnfinishedCopy({.cause = Cause::Canceled});
    if (auto failure = secureSafetyCopy())
        return failure;
    if (auto failure = refusalAfterExamination(examined))
        return failure;
    // From here on the repair runs to its end, and a failure puts the safety
    // copy back. The new database, built under a hidden name beside the
    // damaged one while the dump was written, takes the damaged one's place
    // only once it is complete and checked; until then the damaged one reads
    // as it was.
    const DatabaseFile damaged = describeDatabase();
    auto damagedRead = readDamaged(*examined.census);
    if (auto failure = finishRebuild(examined, damaged))
        return failure;
    if (auto failure = verify(*examined.census, damagedRead))
        return failure;
    if (auto failure = swapIn())
        return failure;
    record(RepairPhase::Rebuilt);
    keptRows_ = examined.census->rows;
    dropRepairFiles(libraryPath_, record_.damaged);
    QFile::remove(inFolder(libraryPath_, kDumpName));
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::openLibrary()
{
    if (libraryPath_.isEmpty() || !QFileInfo(libraryPath_).isDir())
        return Failure{.cause = Cause::NoLibrary};
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
        return Failure{.cause = Cause::AlreadyRunning};
    switch (locks_.lock(libraryPath_)) {
    case FolderLocks::Result::Taken:
        return std::nullopt;
    case FolderLocks::Result::Held:
        return Failure{.cause = Cause::AlreadyRunning};
    case FolderLocks::Result::Unsupported:
        // Without a lock, another repair could work on the library at the
        // same time: no repair goes on without one.
        return Failure{
            .cause = Cause::LockUnsupported, .detail = systemError(errno), .path = libraryPath_};
    case FolderLocks::Result::Failed:
        break;
    }
    return Failure{
        .cause = Cause::FolderUnopenable, .detail = systemError(errno), .path = libraryPath_};
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
                return Failure{.cause = Cause::NoDatabase, .path = name};
            continue;
        }
        if (!S_ISREG(st.st_mode))
            return Failure{.cause = Cause::DatabaseNotPlain, .path = path};
        if (name == kDatabaseName && st.st_size == 0)
            return Failure{.cause = Cause::DatabaseEmpty, .path = path};
    }
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::checkUnused()
{
    if (services_.apps.isRunning(companion::kMainIdentifier) ||
        services_.apps.isRunning(companion::kAlternateIdentifier))
        return Failure{.cause = Cause::CompanionRunning};
    if (isDatabaseInUse(libraryPath_, std::chrono::seconds(2)))
        return Failure{.cause = Cause::Locked};
    if (!shell_.isUsable())
        return Failure{.cause = Cause::ShellMissing, .path = shell_.executable()};
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::checkReady()
{
    if (auto failure = checkUnused())
        return failure;
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    for (const QString &folder : {libraryPath_, parent}) {
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
            return Failure{.cause = Cause::ReadOnly, .detail = systemError(errno), .path = folder};
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
    // While the dump runs, two more readers judge the damage and count the
    // rows.
    const SqliteShell reader = shell_.withSetup(onlyRead(Reads::Mapped));
    const DerivedRows derived = earlier ? derivedRowsOf(*earlier) : DerivedRows{};
    auto judging = judgeBeside(reader, libraryPath_, earlier);
    auto counting = countBeside(reader, libraryPath_, derived);
    // The dump's text is usually somewhat larger than the database it holds.
    const double estimate = std::max<double>(1.0, 1.2 * static_cast<double>(databaseSize));
    const QString dumpPath = inFolder(libraryPath_, kDumpName);
    report(RepairStage::Dump, kCopyEnd);
    Examination examined;
    // The new database is built from the dump as it is written, on the
    // other core: the dump goes to its shell as well as into the file.
    const int copyTo = startRebuild(examined);
    examined.dump =
        shell_.withSetup(onlyRead())
            .runToFile(
                libraryPath_,
                shellPreamble() + skippedTables(derived) + loadScript(QStringLiteral("DumpScript")),
                dumpPath,
                [&] {
                    const double done = static_cast<double>(fileSize(dumpPath)) / estimate;
                    report(RepairStage::Dump,
                           kCopyEnd + (kDumpEnd - kCopyEnd) * std::min(done, 0.98));
                },
                copyTo);
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

std::optional<Failure> LibraryRepair::refusalAfterExamination(const Examination &examined)
{
    const QString dumpPath = inFolder(libraryPath_, kDumpName);
    // A dump that could not be written in full is the disk's fault, not the
    // library's, whatever the shell or the look made of it.
    if (examined.dump.writeError != 0)
        return Failure{.cause = Cause::DiskWrite, .detail = systemError(examined.dump.writeError)};
    if (examined.trouble)
        return examined.trouble;
    // A database another program holds cannot be read; that is no damage.
    // Nor is one that a reader waited for in vain, though it is free now.
    if ((!examined.census || !examined.verdict || examined.dump.status != 0) &&
        (isDatabaseInUse(libraryPath_) || examined.readersSaid.contains("database is locked")))
        return Failure{.cause = Cause::Locked, .leftovers = removeLeftovers({dumpPath})};
    if (!examined.census || !examined.verdict ||
        examined.verdict->kind == DamageVerdict::Kind::RowsLost)
        return Failure{.cause = Cause::Corrupt,
                       .detail = QString::fromLocal8Bit(examined.dump.errors.trimmed())};
    if (examined.census->rowsWithNulText > 0)
        return Failure{.cause = Cause::UnsafeText, .leftovers = removeLeftovers({dumpPath})};
    if (examined.dump.status != 0)
        return shellRunFailure(examined.dump);
    report(RepairStage::Check, kDumpEnd);
    if (!dumpIsComplete(dumpPath, examined.dump))
        return shellRunFailure(examined.dump);
    return std::nullopt;
}

} // namespace quillbox
