// Fuzzes bf::makeFilenameUniqueInDirectory on a private folder that already
// holds a few names and their first numbered forms, so the numbering runs.
// The function only tests for existence; the target checks that the folder
// is left as it was and that the answer is the first free name.
#include "FuzzSupport.h"

#include "strings/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace
{

// Long enough for names past the 255-unit cut.
constexpr qsizetype kMaxNameUnits = 300;

const QString &folder()
{
    return fuzz::privateDirectory();
}

bool itemExists(const QString &name)
{
    const QFileInfo info(folder() + u'/' + name);
    return info.exists() || info.isSymLink();
}

QStringList entries()
{
    return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                    QDir::NoDotAndDotDot);
}

QStringList &initialEntries()
{
    static QStringList list;
    return list;
}

// A name the file system sees exactly as written: one component, valid
// UTF-16 and no U+0000.
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(u'\0')) && name.isValidUtf16();
}

void discardMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt warns about every path holding U+0000; the warnings only slow the
    // run down.
    qInstallMessageHandler(discardMessages);
    const QString &dir = folder();
    for (const char *name : {"a", "a 1", "a 2", "report.txt", "report 1.txt", ".hidden",
                             ".hidden 1", "archive.tar.gz", "archive.tar 1.gz", "x-y 1",
                             "\xc3\x9c"
                             "berblick",
                             "\xc3\x9c"
                             "berblick 1",
                             " 1"})
        fuzz::check(fuzz::makeFile(dir + u'/' + QString::fromUtf8(name)), "cannot make a file");
    fuzz::check(QDir(dir).mkdir(QStringLiteral("folder")), "cannot make a folder");
    fuzz::check(QDir(dir).mkdir(QStringLiteral("folder 1")), "cannot make a folder");
    // Dangling symbolic links count as taken.
    fuzz::check(QFile::link(dir + QStringLiteral("/nowhere"), dir + QStringLiteral("/gone")),
                "cannot make a link");
    fuzz::check(QFile::link(dir + QStringLiteral("/nowhere"), dir + QStringLiteral("/gone 1")),
                "cannot make a link");
    initialEntries() = entries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static unsigned runs = 0;
    const QString name = fuzz::textFromInput(data, size, kMaxNameUnits);
    const QString unique = bf::makeFilenameUniqueInDirectory(name, folder());

    if (isPlainName(name)) {
        if (!itemExists(name)) {
            fuzz::check(unique == name, "a free name was changed");
        } else {
            // The first free numbered form, sanitized. The folder holds only
            // a few entries, so it is found within a few steps.
            qint64 n = 1;
            while (itemExists(bf::numberedFileName(name, n)))
                ++n;
            const QString numbered = bf::numberedFileName(name, n);
            fuzz::check(unique == bf::stringSanitizedForFileName(numbered),
                        "not the first free numbered name");
            if (unique == numbered)
                fuzz::check(!itemExists(unique), "the answer is taken");
        }
    }

    // Nothing is created, renamed or removed.
    if (++runs % 256 == 0)
        fuzz::check(entries() == initialEntries(), "the folder changed");
    return 0;
}
