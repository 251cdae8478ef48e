#include "strings/PathArithmetic.h"

namespace bf
{
namespace
{

// `path` without trailing slashes, keeping a lone "/".
QStringView withoutTrailingSlashes(QStringView path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

// Position of the dot that starts the extension of `name`, or -1.
qsizetype extensionDot(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return -1;
    return dot;
}

} // namespace

QString lastPathComponent(QStringView path)
{
    path = withoutTrailingSlashes(path);
    if (path == u"/")
        return path.toString();
    return path.mid(path.lastIndexOf(u'/') + 1).toString();
}

QString pathExtension(QStringView path)
{
    const QString name = lastPathComponent(path);
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString stringByDeletingPathExtension(QStringView path)
{
    const QStringView trimmed = withoutTrailingSlashes(path);
    const qsizetype nameStart = trimmed.lastIndexOf(u'/') + 1;
    const qsizetype dot = extensionDot(trimmed.mid(nameStart));
    if (dot < 0)
        return path.toString();
    return trimmed.left(nameStart + dot).toString();
}

QString stringByAppendingPathExtension(QStringView path, QStringView extension)
{
    if (extension.isEmpty())
        return path.toString();
    QString result = path.toString();
    result += u'.';
    result += extension;
    return result;
}

QString stringByAppendingPathComponent(QStringView path, QStringView component)
{
    if (path.isEmpty())
        return component.toString();
    if (component.isEmpty())
        return path.toString();
    QString result = path.toString();
    if (path.endsWith(u'/') && component.startsWith(u'/'))
        result.chop(1);
    else if (!path.endsWith(u'/') && !component.startsWith(u'/'))
        result += u'/';
    result += component;
    return result;
}

} // namespace bf
