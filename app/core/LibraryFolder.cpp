#include "app/core/LibraryFolder.h"

#include "app/core/FileTree.h"
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

std::optional<QString> setJournalNameAside(const QString &library)
{
    const QString path = inFolder(library, kJournalName);
    if (!bf::itemExists(path))
        return std::nullopt;
    // The first eight bytes of every rollback journal's header.
    static const QByteArray kJournalMagic = QByteArray::fromHex("d9d505f920a163d7");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.read(kJournalMagic.size()) == kJournalMagic)
        return std::nullopt;
    return renameNoReplace(path, inFolder(library, kKeptJournalName));
}

void putJournalNameBack(const QString &library)
{
    const QString kept = inFolder(library, kKeptJournalName);
    if (bf::itemExists(kept))
        std::ignore = renameNoReplace(kept, inFolder(library, kJournalName));
}

} // namespace quillbox
