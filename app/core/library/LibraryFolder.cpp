#include "app/core/library/LibraryFolder.h"

#include "app/core/fs/FileTree.h"
#include "strings/FileNames.h"
#include "strings/PathArithmetic.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <tuple>

namespace quillbox
{

QString inFolder(const QString &folder, const QString &name)
{
    return bf::stringByAppendingPathComponent(folder, name);
}

qint64 fileSize(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

QStringList removeLeftovers(const QStringList &paths)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (!removeTree(path))
            kept.append(path);
    }
    return kept;
}

Expected<> setJournalNameAside(const QString &library)
{
    const QString path = inFolder(library, kJournalName);
    if (!bf::itemExists(path))
        return {};
    // The first eight bytes of every rollback journal's header.
    static const QByteArray kJournalMagic = QByteArray::fromHex("d9d505f920a163d7");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.read(kJournalMagic.size()) == kJournalMagic)
        return {};
    return renameNoReplace(path, inFolder(library, kKeptJournalName));
}

void putJournalNameBack(const QString &library)
{
    const QString kept = inFolder(library, kKeptJournalName);
    if (bf::itemExists(kept))
        std::ignore = renameNoReplace(kept, inFolder(library, kJournalName));
}

namespace
{

// Whether `path` is an entry of `library` whose name starts with `prefix`:
// only names a repair makes are ever removed, whatever a record says.
bool madeByRepair(const QString &path, const QString &library, const QString &prefix)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isAbsolute() && info.absolutePath() == library &&
           info.fileName().startsWith(prefix);
}

} // namespace

void dropRepairFiles(const QString &library, const QString &damaged, const QString &rebuild)
{
    for (const QString &suffix : kDatabaseSuffixes) {
        if (madeByRepair(damaged, library, kDamagedPrefix))
            QFile::remove(damaged + suffix);
    }
    if (madeByRepair(rebuild, library, kRebuildPrefix)) {
        for (const QString &suffix : kDatabaseSuffixes + QStringList{u"-journal"_qs})
            QFile::remove(rebuild + suffix);
    }
}

bool undoSwap(const QString &library, const QString &damaged, const QString &rebuild)
{
    if (!madeByRepair(rebuild, library, kRebuildPrefix) || !bf::itemExists(rebuild) ||
        !madeByRepair(damaged, library, kDamagedPrefix))
        return false;
    for (const QString &suffix : kDatabaseSuffixes) {
        const QString name = inFolder(library, kDatabaseName + suffix);
        if (!bf::itemExists(damaged + suffix))
            continue;
        if (!bf::itemExists(name))
            std::ignore = renameNoReplace(damaged + suffix, name);
        else if (suffix.isEmpty())
            QFile::remove(damaged); // a second name of the database still in place
    }
    dropRepairFiles(library, {}, rebuild);
    return true;
}

} // namespace quillbox
