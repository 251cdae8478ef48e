// A look at a library's damage without a repair: the same locks, refusals
// and readers as a repair, and nothing written.
#include "app/core/repair/LibraryRepair.h"

#include "app/core/library/DatabaseLocks.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/texts/CheckReport.h"
#include "strings/FileNames.h"

#include <QFile>

namespace quillbox
{
namespace
{

// True when SQLite would take Library.sqlite-journal for a journal to roll
// back (it is not empty and its first byte is not zero): the first read of
// the database would then roll it back into the database, or delete it
// when it is no journal at all.
bool journalPending(const QString &library)
{
    QFile journal(inFolder(library, kJournalName));
    if (!journal.open(QIODevice::ReadOnly))
        return false;
    const QByteArray first = journal.read(1);
    return !first.isEmpty() && first[0] != '\0';
}

} // namespace

CheckOutcome LibraryRepair::checkLibrary()
{
    std::optional<Failure> failure = openLibrary();
    if (!failure)
        failure = checkUnused();
    const CheckResult result = failure ? CheckResult{checkOutcomeOf(failure->cause),
                                                     checkRefusalAlert(*failure, libraryPath_)}
                                       : judgeOnly();
    // The locks go before the user is told: the check is over.
    locks_.release();
    if (result.outcome != CheckOutcome::Canceled)
        services_.alerts.runModal(result.alert);
    return result.outcome;
}

LibraryRepair::CheckResult LibraryRepair::judgeOnly()
{
    if (journalPending(libraryPath_))
        return {CheckOutcome::JournalPending, journalPendingAlert(libraryPath_)};
    // A database in write-ahead-log mode gets an empty -wal file from its
    // first reader, which a reader that leaves the log alone does not remove.
    const QString log = inFolder(libraryPath_, kDatabaseName + u"-wal"_qs);
    const bool hadLog = bf::itemExists(log);
    SqliteShell reader = shell_.withSetup(onlyRead(Reads::Mapped));
    reader.setTimeLimit(shellTimeLimit());
    reader.setCancelFlag(cancelFlag_);
    QuerySeries queries(reader, libraryPath_);
    const std::optional<DamageVerdict> verdict = judgeDamage(queries);
    // Only an empty log that nobody else has open is ours to remove.
    if (!hadLog && bf::itemExists(log) && fileSize(log) == 0 && !isDatabaseInUse(libraryPath_))
        QFile::remove(log);
    // Ctrl+C reaches the shell too, which may end on it before it is
    // stopped: a check asked to stop says nothing of the library.
    const std::optional<SqliteShell::Ending> &trouble = queries.trouble();
    if (canceled() || (trouble && trouble->trouble == SqliteShell::Trouble::Canceled))
        return {CheckOutcome::Canceled, {}};
    if (trouble) {
        const Failure failure = shellFailure(*trouble);
        return {checkOutcomeOf(failure.cause), checkRefusalAlert(failure, libraryPath_)};
    }
    // A database another program holds cannot be read; that is no damage.
    if (!verdict && isDatabaseInUse(libraryPath_)) {
        const Failure failure{.cause = Cause::Locked};
        return {CheckOutcome::Locked, checkRefusalAlert(failure, libraryPath_)};
    }
    return {checkOutcomeOf(verdict),
            verdictAlert(verdict, libraryPath_,
                         QString::fromLocal8Bit(queries.last().errors.trimmed()))};
}

} // namespace quillbox
