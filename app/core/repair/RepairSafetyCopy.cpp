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
    const double total = std::max<double>(1.0, static_cast<double>(treeSize(libraryPath_)));
    const Expected<> copied = copyTree(
        libraryPath_, partial,
        [&](qint64 copied) {
            report(RepairStage::SafetyCopy, kCopyEnd * static_cast<double>(copied) / total);
            return !canceled();
        },
        &droppedAttributes_);
    if (canceled())
        return Failure{.cause = Cause::Canceled, .leftovers = removeLeftovers({partial})};
    if (!copied)
        return Failure{.cause = Cause::CopyFailed,
                       .detail = copied.error(),
                       .leftovers = removeLeftovers({partial})};
    // What the copy holds now is what it must hold when it is put back.
    if (!(record_.copy = summarizeTree(partial)))
        return Failure{.cause = Cause::CopyNotReadBack, .leftovers = removeLeftovers({partial})};
    // The copy reaches the disk while the dump runs; it takes its own name
    // only then (secureSafetyCopy()), before anything in the library changes.
    copyFlushed_ =
        std::async(std::launch::async, [partial] { return syncTree(partial).has_value(); });
    report(RepairStage::SafetyCopy, kCopyEnd);
    return std::nullopt;
}

std::optional<Failure> LibraryRepair::secureSafetyCopy()
{
    const QString partial = record_.partial;
    const auto failed = [&](Cause cause, const QString &detail) {
        return Failure{.cause = cause,
                       .detail = detail,
                       .leftovers = removeLeftovers({partial, inFolder(libraryPath_, kDumpName)})};
    };
    if (!copyFlushed_.get())
        return failed(Cause::CopyNotFlushed, {});
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
    // the flush of the copy has let go of it.
    if (copyFlushed_.valid())
        copyFlushed_.wait();
    failure.leftovers = removeLeftovers({record_.partial, inFolder(libraryPath_, kDumpName)});
    return failure;
}

} // namespace quillbox
