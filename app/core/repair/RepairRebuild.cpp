// The repair's rebuild: a new database built from the dump under a hidden
// name beside the damaged one, checked against it, then swapped in.
#include "app/core/repair/LibraryRepair.h"

#include "app/core/fs/FileTree.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/sqlite/ShellPreamble.h"
#include "strings/FileNames.h"

#include <QFile>
#include <QUuid>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace quillbox
{
namespace
{

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

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

LibraryRepair::DatabaseFile LibraryRepair::describeDatabase() const
{
    const QString path = inFolder(libraryPath_, kDatabaseName);
    return {permissions(path), fileSize(path) + fileSize(path + u"-wal"_qs), keepsLog(path)};
}

std::future<LibraryRepair::DamagedRead> LibraryRepair::readDamaged(const Census &census)
{
    // The damaged database stays where it is: the other core digests every
    // table while the rebuild runs, then folds its log into it, which waits
    // for the disk while the rebuild goes on.
    return std::async(
        std::launch::async, [this, census, shell = shell_.withSetup(onlyRead(Reads::Mapped))] {
            DamagedRead read{digestTables(shell, libraryPath_, census, Cores::One), {}};
            read.unfolded = foldDamagedLog();
            return read;
        });
}

int LibraryRepair::startRebuild(Examination &examined)
{
    // The names are on record before the first byte is written, so a
    // repair cut off from here on is cleared at the next start.
    const QString id = QUuid::createUuid().toString(QUuid::Id128).left(12);
    record_.rebuild = inFolder(libraryPath_, kRebuildPrefix + id + u"-Library.sqlite"_qs);
    record_.damaged = inFolder(libraryPath_, kDamagedPrefix + id);
    record(record_.phase);
    std::array<int, 2> stream{-1, -1};
    if (::pipe2(stream.data(), O_CLOEXEC) != 0)
        return -1;
    ::fcntl(stream[1], F_SETPIPE_SZ, 1 << 20);
    // The dump's text goes to the shell on its standard input, in safe
    // mode: it holds the library's names, schema and values, which must not
    // be able to run anything. What follows it waits for the census.
    SqliteShell rebuilder = shell_.onDatabase(record_.rebuild).withSetup(rebuilding());
    rebuilder.setCancelFlag(&stopRebuild_);
    const std::shared_future<QByteArray> tail = examined.tail.get_future().share();
    SqliteShell::Input input{loadScript(QStringLiteral("FixScript")), {}, {}, stream[0], [tail] {
                                 return tail.get();
                             }};
    examined.rebuilt = std::async(
        std::launch::async, [rebuilder, input, folder = libraryPath_, target = record_.rebuild] {
            // What it has written so far goes on to the disk while it runs,
            // so the flush before it is called done has only the last part
            // to wait for.
            return rebuilder.run(folder, input, [target] { startWriteback(target); });
        });
    return stream[1];
}

std::optional<Failure> LibraryRepair::finishRebuild(Examination &examined,
                                                    const DatabaseFile &damaged)
{
    const Census &census = *examined.census;
    // After the dump's rows come the REAL values and the text with NUL
    // characters that its text could not hold exactly, set from their
    // bytes; the damaged full-text indexes, built anew; the statistics
    // tables the library did not have go; then the write-ahead log, which
    // the damaged database kept, if it did.
    const QByteArray tail = census.exactReals + census.exactText + census.textIndexes +
                            statisticsNotKept(census) +
                            (damaged.keepsLog ? "PRAGMA journal_mode=WAL;\n" : "");
    const QString &target = record_.rebuild;
    const double estimate = std::max<double>(1.0, static_cast<double>(damaged.size));
    const auto progress = [&] {
        const double done = static_cast<double>(fileSize(target)) / estimate;
        report(RepairStage::Rebuild,
               kRebuildStart + (kRebuildEnd - kRebuildStart) * std::min(done, 0.98));
    };
    report(RepairStage::Rebuild, kRebuildStart);
    SqliteShell::Ending rebuilt;
    if (examined.rebuilt.valid()) {
        examined.tail.set_value(tail);
        examined.tailGiven = true;
        while (examined.rebuilt.wait_for(std::chrono::milliseconds(100)) !=
               std::future_status::ready)
            progress();
        rebuilt = examined.rebuilt.get();
    } else {
        // Without a pipe to stream it, the dump is read back from its file.
        rebuilt = shell_.onDatabase(target)
                      .withSetup(rebuilding())
                      .run(libraryPath_,
                           {loadScript(QStringLiteral("FixScript")),
                            inFolder(libraryPath_, kDumpName), tail},
                           progress);
    }
    if (rebuilt.status != 0)
        return shellRunFailure(rebuilt);
    // The new database keeps who may read and write it.
    if (damaged.mode)
        ::chmod(QFile::encodeName(target).constData(), *damaged.mode);
    return std::nullopt;
}

void LibraryRepair::abandonRebuild(Examination &examined)
{
    if (examined.rebuilt.valid()) {
        stopRebuild_ = true;
        if (!examined.tailGiven) {
            examined.tail.set_value({});
            examined.tailGiven = true;
        }
        examined.rebuilt.wait();
        examined.rebuilt = {};
        stopRebuild_ = false;
    }
    // Once in place, the new database no longer has its hidden name.
    if (record_.phase != RepairPhase::Rebuilt)
        dropRepairFiles(libraryPath_, {}, record_.rebuild);
}

std::optional<Failure> LibraryRepair::verify(const Census &census,
                                             std::future<DamagedRead> &damagedRead)
{
    // The end-of-dump marker alone is not proof: a shell may close the dump
    // of a damaged table with COMMIT and leave out the rows it could not read,
    // so the new database is checked. Meanwhile another core flushes it,
    // since the rebuild did not wait for the disk; it counts as done only
    // when both have succeeded.
    report(RepairStage::Check, kRebuildEnd);
    const DamagedRead read = damagedRead.get();
    const Digests &damaged = read.digests;
    auto flushing = std::async(std::launch::async,
                               [target = record_.rebuild] { return syncFile(target).has_value(); });
    // The rebuild has just written every page, so the file is in memory
    // already and is mapped; its two halves are read on both cores. The
    // indexes are not read again: CREATE INDEX has just built them from the
    // very rows compared here.
    const Digests rebuilt =
        digestTables(shell_.onDatabase(record_.rebuild).withSetup(onlyRead(Reads::Mapped)),
                     libraryPath_, census, Cores::Two);
    const bool flushed = flushing.get();
    // A shell that could not give its digests says nothing of the library.
    for (const Digests *digests : {&damaged, &rebuilt}) {
        if (digests->troubled)
            return shellFailure(*digests->troubled);
    }
    if (!damaged.text || rebuilt.text != damaged.text)
        return Failure{.cause = Cause::Corrupt};
    if (!flushed)
        return Failure{.cause = Cause::DiskWrite};
    // A log another program keeps from being folded leaves the library in
    // its hands, reading as it was: nothing is put back, only the dump goes.
    if (read.unfolded && read.unfolded->cause == Cause::Locked) {
        Failure locked = *read.unfolded;
        locked.leftovers = removeLeftovers({inFolder(libraryPath_, kDumpName)});
        return locked;
    }
    return read.unfolded;
}

std::optional<Failure> LibraryRepair::foldDamagedLog() const
{
    // SQLite plays any log it finds beside a database back into it, whatever
    // that database: the damaged one's must be gone before the new one takes
    // its name, and the damaged one must not lose its pages with it. So the
    // log is folded in first; a cut-off checkpoint leaves the log to finish
    // it, and the shell deletes the emptied log and its index as it closes.
    const QString database = inFolder(libraryPath_, kDatabaseName);
    const QString log = database + u"-wal"_qs;
    if (fileSize(log) == 0)
        return std::nullopt;
    // A database its owner made read-only can be read, not checkpointed:
    // it is made writable for the checkpoint only, and the new database
    // keeps the read-only mode.
    const QByteArray file = QFile::encodeName(database);
    const std::optional<mode_t> mode = permissions(database);
    const bool unlocked = mode && ::access(file.constData(), W_OK) != 0 &&
                          ::chmod(file.constData(), *mode | S_IWUSR) == 0;
    const SqliteShell::Output folded =
        shell_.query(libraryPath_, shellPreamble() + "PRAGMA wal_checkpoint(TRUNCATE);\n");
    if (unlocked)
        ::chmod(file.constData(), *mode);
    if (folded.status != 0 || folded.troubled())
        return shellRunFailure(folded);
    // "busy|frames|checkpointed": another program kept the checkpoint from
    // ending, or wrote to the log since.
    if (!folded.text.startsWith("0|") || fileSize(log) > 0)
        return Failure{.cause = Cause::Locked};
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::swapIn()
{
    const QString database = inFolder(libraryPath_, kDatabaseName);
    const QString &rebuilt = record_.rebuild;
    const QString &damaged = record_.damaged;
    // The new database's readers leave an empty log and its index beside
    // it; a log that holds pages would mean it is not whole in its file.
    if (fileSize(rebuilt + u"-wal"_qs) > 0 || bf::itemExists(rebuilt + u"-journal"_qs))
        return Failure{.cause = Cause::DiskWrite};
    QFile::remove(rebuilt + u"-wal"_qs);
    QFile::remove(rebuilt + u"-shm"_qs);
    record(RepairPhase::Swapping);
    // What is left of the damaged database's log (an empty file) and its
    // index go to hidden names first. The database keeps a second name
    // there, so its removal waits for the end, where the file system has
    // links; the new one takes its name in one step.
    for (const QString &suffix : {u"-shm"_qs, u"-wal"_qs}) {
        if (!bf::itemExists(database + suffix))
            continue;
        if (const Expected<> moved = renameNoReplace(database + suffix, damaged + suffix); !moved)
            return Failure{.cause = Cause::DiskWrite, .detail = moved.error()};
    }
    std::ignore =
        ::link(QFile::encodeName(database).constData(), QFile::encodeName(damaged).constData());
    if (::rename(QFile::encodeName(rebuilt).constData(), QFile::encodeName(database).constData()) !=
        0)
        return Failure{.cause = Cause::DiskWrite, .detail = lastError()};
    if (const Expected<> flushed = syncFolder(libraryPath_); !flushed)
        return Failure{.cause = Cause::DiskWrite, .detail = flushed.error()};
    return std::nullopt;
}

} // namespace quillbox
