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

QString leftoversNotRemoved(const QStringList &paths)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (!removeTree(path))
            kept.append(u"“"_qs + path + u"”"_qs);
    }
    if (kept.isEmpty())
        return {};
    return u"\n\n"_qs + QCoreApplication::translate("QBAppDelegate",
                                                    "The repair could not remove what it had made "
                                                    "so far; you can delete it: %1.")
                            .arg(kept.join(u", "_qs));
}

} // namespace quillbox
