#include "app/core/fs/PosixFiles.h"

#include <QCoreApplication>
#include <QFile>

namespace quillbox::posix
{

QString describe(const char *what, const QByteArray &path, int error)
{
    return QCoreApplication::translate("FileTree", what)
        .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error)));
}

Fd openFolder(const QByteArray &path)
{
    return Fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool syncFolderBytes(const QByteArray &path)
{
    const Fd dir(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.get() >= 0 && ::fsync(dir.get()) == 0;
}

} // namespace quillbox::posix
