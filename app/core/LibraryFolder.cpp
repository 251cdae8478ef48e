#include "app/core/LibraryFolder.h"

#include "app/core/FileTree.h"
#include "strings/PathArithmetic.h"

#include <QCoreApplication>
#include <QFileInfo>

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

} // namespace quillbox
