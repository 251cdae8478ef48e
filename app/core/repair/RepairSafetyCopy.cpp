// The safety copy: its name, and how it is made, secured or dropped.
#include "app/core/repair/LibraryRepair.h"

#include "app/core/fs/FileTree.h"
#include "app/core/library/LibraryFolder.h"
#include "strings/FileNames.h"
#include "strings/PathArithmetic.h"

#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <future>
#include <tuple>

namespace quillbox
{

QString safetyCopyName(const QString &libraryName)
{
    const QString base = bf::stringByDeletingPathExtension(libraryName);
    return bf::stringByAppendingPathExtension(base + QStringLiteral(" (Old Version)"),
                                              bf::pathExtension(libraryName));
}

std::optional<Failure> LibraryRepair::makeSafetyCopy()
{
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    const QString name = bf::makeFilenameUniqueInDirectory(
        safetyCopyName(bf::lastPathComponent(libraryPath_)), parent);
    backupPath_ = inFolder(parent, name);
    if (backupChosen_)
        backupChosen_(backupPath_);

    // The copy is made under a hidden temporary name and renamed only when
    // complete, so a failed copy never looks like a safety copy. The name is
    // recorded before anything is written, so an interrupted copy is found.
    const QString partial = inFolder(
        parent, u".quillbox-copy-"_qs + QUuid::createUuid().toString(QUuid::Id128).left(12));
    record_ = {RepairPhase::Copying,
               QFileInfo(libraryPath_).absoluteFilePath(),
               backupPath_,
               partial,
               QString(),
               std::nullopt};
    record(RepairPhase::Copying);
    report(RepairStage::SafetyCopy, 0.0);
    const auto failed = [&](Cause cause, const QString &detail) {
        return Failure{.cause = cause, .detail = detail, .leftovers = removeLeftovers({partial})};
    };
    // The copy holds the library as it is now, though most of it is copied
    // while the dump runs: what the repair changes before then is copied
    // first. That is the log index, which the dump's readers make anew, and
    // whatever stands under the names of the rollback journal (set aside
    // below) and of the dump (written over).
    Expected<FolderCopy> copy =
        FolderCopy::begin(libraryPath_, partial, [this](qint64) { return !canceled(); });
    Expected<> copied = copy ? Expected<>() : Unexpected{copy.error()};
    for (const QString &first : {kDatabaseName + u"-shm"_qs, kJournalName, kDumpName}) {
        if (copied)
            copied = copy->copyNow(first);
    }
    if (copied) {
        if (const Expected<> setAside = setJournalNameAside(libraryPath_); !setAside) {
            Failure failure = failed(Cause::ReadOnly, setAside.error());
            failure.path = libraryPath_;
            return failure;
        }
    }
    // A rollback journal still there is one the first reader plays back
    // into the database: the database and its log are copied before that.
    if (copied && bf::itemExists(inFolder(libraryPath_, kJournalName))) {
        for (const QString &first : {kDatabaseName, kDatabaseName + u"-wal"_qs}) {
            if (copied)
                copied = copy->copyNow(first);
        }
    }
    if (canceled())
        return failed(Cause::Canceled, {});
    if (!copied)
        return failed(Cause::CopyFailed, copied.error());
    copyMade_ = std::async(std::launch::async, [copy = std::move(copy.value()), partial]() mutable {
        return finishCopy(std::move(copy), partial);
    });
    report(RepairStage::SafetyCopy, kCopyEnd);
    return std::nullopt;
}

LibraryRepair::CopyMade LibraryRepair::finishCopy(FolderCopy copy, const QString &partial)
{
    CopyMade made;
    const Expected<> copied = copy.finish();
    made.dropped = copy.dropped();
    if (!copied) {
        made.failure = {Cause::CopyFailed, copied.error()};
        return made;
    }
    // What the copy holds now is what it must hold when it is put back.
    if (!(made.summary = summarizeTree(partial)))
        made.failure = {Cause::CopyNotReadBack, {}};
    else if (!syncTree(partial))
        made.failure = {Cause::CopyNotFlushed, {}};
    return made;
}

std::optional<Failure> LibraryRepair::secureSafetyCopy()
{
    const QString partial = record_.partial;
    const auto failed = [&](Cause cause, const QString &detail) {
        return Failure{.cause = cause,
                       .detail = detail,
                       .leftovers = removeLeftovers({partial, inFolder(libraryPath_, kDumpName)})};
    };
    CopyMade made = copyMade_.get();
    droppedAttributes_ = made.dropped;
    if (made.failure)
        return failed(made.failure->first, made.failure->second);
    record_.copy = made.summary;
    if (const Expected<> named = renameNoReplace(partial, backupPath_); !named)
        return failed(Cause::CopyFailed, named.error());
    // The copy counts as made only once its new name is on the disk too.
    if (!syncFolder(QFileInfo(backupPath_).absolutePath())) {
        std::ignore = renameNoReplace(backupPath_, partial);
        return failed(Cause::CopyNotFlushed, {});
    }
    record(RepairPhase::Copied);
    return std::nullopt;
}

Failure LibraryRepair::dropUnfinishedCopy(Failure failure)
{
    // Nothing in the library has changed: what the repair made goes, once
    // the copy, still being made, has let go of it.
    if (copyMade_.valid())
        copyMade_.wait();
    failure.leftovers = removeLeftovers({record_.partial, inFolder(libraryPath_, kDumpName)});
    return failure;
}

} // namespace quillbox
