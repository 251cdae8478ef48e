#include "strings/FileNames.h"

#include "strings/CharacterClasses.h"
#include "strings/PathArithmetic.h"

#include <QFile>
#include <QFileInfo>

namespace bf
{
namespace
{

constexpr qsizetype kLongName = 256;
constexpr qsizetype kKeptUnits = 254;

template<typename Pred> QStringView trimmed(QStringView text, Pred isMember)
{
    while (!text.isEmpty() && isMember(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isMember(text.back()))
        text.chop(1);
    return text;
}

// How many code units to keep so that a cut after them splits no surrogate
// pair.
qsizetype boundaryBefore(QStringView text, qsizetype keep)
{
    if (keep > 0 && keep < text.size() && text[keep - 1].isHighSurrogate() &&
        text[keep].isLowSurrogate())
        return keep - 1;
    return keep;
}

} // namespace

bool itemExists(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && (info.exists() || info.isSymLink());
}

QString numberedFileName(QStringView name, qint64 n)
{
    const QString number = u' ' + QString::number(n);
    QString base = stringByDeletingPathExtension(name);
    QString extension = pathExtension(name);
    // The number must survive the sanitizer's cut at 255 units, or a taken
    // name could come back: the base gives way instead. An extension too
    // long to leave room for it becomes part of the base.
    qsizetype room =
        kLongName - 1 - number.size() - (extension.isEmpty() ? 0 : extension.size() + 1);
    if (room <= 0) {
        base = name.toString();
        extension.clear();
        room = kLongName - 1 - number.size();
    }
    if (base.size() > room)
        base.truncate(boundaryBefore(base, room));
    return stringByAppendingPathExtension(base + number, extension);
}

QString makeFilenameUniqueInDirectory(const QString &name, const QString &directory)
{
    if (!itemExists(stringByAppendingPathComponent(directory, name)))
        return name;
    // The name that is returned is the one that must be free: the
    // sanitizer can turn a free numbered name into one that is taken.
    for (qint64 n = 1;; ++n) {
        const QString candidate = stringSanitizedForFileName(numberedFileName(name, n));
        if (!itemExists(stringByAppendingPathComponent(directory, candidate)))
            return candidate;
    }
}

QString stringSanitizedForFileName(QStringView text)
{
    QString name = trimmed(text, isWhiteSpaceOrLineBreak).toString();
    if (name.startsWith(u'.'))
        name[0] = u'-';
    for (QChar &c : name) {
        if (c == u'/' || c == u':' || c == u'~' || c == QChar(u'\0'))
            c = u'-';
    }
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isLineBreak(name[i])) {
            name.truncate(i);
            break;
        }
    }
    name = trimmed(name, isWhiteSpace).toString();

    if (name.size() >= kLongName) {
        const QString extension = pathExtension(name);
        const qsizetype e = extension.size();
        if (e == 0 || e >= kKeptUnits) {
            name.truncate(boundaryBefore(name, kKeptUnits));
        } else {
            name.truncate(boundaryBefore(name, kKeptUnits - e));
            name = stringByAppendingPathExtension(name, extension);
        }
    }
    return name;
}

QString fileSystemRepresentationString(const QString &path)
{
    return QFile::decodeName(QFile::encodeName(path));
}

QString fileDisplayName(const QString &path)
{
    return lastPathComponent(fileSystemRepresentationString(path));
}

} // namespace bf
