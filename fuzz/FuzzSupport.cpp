#include "FuzzSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz
{

void check(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::fflush(stderr);
    __builtin_trap();
}

namespace
{

QString makePrivateDirectory()
{
    const char *tmp = std::getenv("TMPDIR");
    QByteArray pattern = (tmp != nullptr && *tmp != '\0') ? QByteArray(tmp) : QByteArray("/tmp");
    pattern += "/quillbox-fuzz-XXXXXX";
    check(mkdtemp(pattern.data()) != nullptr, "mkdtemp failed");
    return QFile::decodeName(pattern);
}

} // namespace

const QString &privateDirectory()
{
    // Never destroyed, so the exit handler can still read it.
    static const QString *const directory = [] {
        auto *made = new QString(makePrivateDirectory());
        std::atexit([] { QDir(privateDirectory()).removeRecursively(); });
        return made;
    }();
    return *directory;
}

bool makeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

QString textFromInput(const std::uint8_t *data, std::size_t size, qsizetype maxUnits)
{
    if (size == 0)
        return QString();
    const bool utf16 = (data[0] & 1) != 0;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const std::size_t count = size - 1;
    QString text;
    if (utf16) {
        const std::size_t units = count / 2;
        text.resize(static_cast<qsizetype>(units));
        std::memcpy(text.data(), bytes, units * 2);
    } else {
        text = QString::fromUtf8(bytes, static_cast<qsizetype>(count));
    }
    text.truncate(maxUnits);
    return text;
}

} // namespace fuzz
