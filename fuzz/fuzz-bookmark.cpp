// Fuzzes quillbox::resolveBookmarkData. $HOME points into a private folder
// with a few real folders, one of them reachable through a symbolic link
// and one outside home, so the search for a moved folder stays small and its
// bounds can be checked.
//
// Input: byte 0 picks the form of the rest.
//   even  the rest is bookmark data as it is;
//   odd   byte 1 picks one of the real folders, whose identity is recorded
//         with the path "<home>/<rest>" (or "<private folder>/<rest>" when
//         byte 1 is odd), so paths near the real ones are tried.
// Every answer must name a folder with the recorded identity, be the recorded
// path itself when that still names the folder, and, when found by the
// search, lie inside home.
#include "FuzzSupport.h"

#include "app/core/companion/Bookmark.h"

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace
{

constexpr std::size_t kHeaderBytes = 4 + 2 + 8 + 8 + 4;
constexpr std::size_t kMaxRelativeBytes = 1024;

struct Identity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const Identity &) const = default;
};

struct Setup {
    QString root;
    QString home;
    QString canonicalHome;
    std::vector<Identity> folders;
};

Setup &setup()
{
    static Setup s;
    return s;
}

std::optional<Identity> identityOf(const QString &path)
{
    struct stat st {
    };
    if (stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return Identity{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

quint64 bigEndian(const char *bytes, int count)
{
    quint64 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

QByteArray bookmarkFor(const Identity &identity, const QByteArray &path)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.writeRawData("QBBK", 4);
    out << quint16(1) << identity.device << identity.inode << path;
    return data;
}

bool isWithin(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + u'/');
}

void makeFolder(const QString &path)
{
    fuzz::check(QDir().mkpath(path), "cannot make a folder");
}

void checkRoundTrip(const QString &path)
{
    const auto data = quillbox::createBookmarkData(path);
    fuzz::check(data.has_value(), "no bookmark for a real folder");
    fuzz::check(quillbox::resolveBookmarkData(*data) == path, "a bookmark does not resolve");
}

void checkAnswer(const QByteArray &data, const std::optional<QString> &answer)
{
    if (static_cast<std::size_t>(data.size()) < kHeaderBytes) {
        fuzz::check(!answer.has_value(), "resolved data shorter than its header");
        return;
    }
    const Identity recorded{bigEndian(data.constData() + 6, 8),
                            bigEndian(data.constData() + 14, 8)};
    const QByteArray pathBytes = data.mid(kHeaderBytes);
    const QString recordedPath = QFile::decodeName(pathBytes);
    const auto current = identityOf(recordedPath);
    const bool wellFormed = data.startsWith("QBBK") && bigEndian(data.constData() + 4, 2) == 1 &&
                            bigEndian(data.constData() + 22, 4) == quint64(pathBytes.size()) &&
                            pathBytes.startsWith('/') && !pathBytes.contains('\0');
    if (wellFormed && current == recorded && QFile::encodeName(recordedPath) == pathBytes)
        fuzz::check(answer == recordedPath, "the recorded path was not kept");
    if (!answer)
        return;
    fuzz::check(answer->startsWith(u'/'), "the answer is not absolute");
    // Another folder only where the recorded path itself names a folder.
    fuzz::check(identityOf(*answer) == recorded ||
                    (*answer == recordedPath && QFileInfo(recordedPath).isDir()),
                "the answer is another folder");
    if (*answer != recordedPath) {
        const QString canonical = QFileInfo(*answer).canonicalFilePath();
        fuzz::check(isWithin(canonical, setup().canonicalHome), "found outside home");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Setup &s = setup();
    s.root = fuzz::privateDirectory();
    s.home = s.root + QStringLiteral("/home");
    const QString documents = s.home + QStringLiteral("/Documents");
    const QString outside = s.root + QStringLiteral("/outside");
    for (const QString &path :
         {documents + QStringLiteral("/Main.quillbox"),
          documents + QStringLiteral("/Archive/Old.quillbox"),
          s.home + QStringLiteral("/Deep/1/2/3/4"), outside + QStringLiteral("/Target")})
        makeFolder(path);
    fuzz::check(QFile::link(outside, documents + QStringLiteral("/Shortcut")),
                "cannot make a link");
    qputenv("HOME", QFile::encodeName(s.home));
    s.canonicalHome = QFileInfo(s.home).canonicalFilePath();

    // A bookmark finds its folder where it is and after a move within home.
    for (const QString &path :
         {documents + QStringLiteral("/Main.quillbox"),
          documents + QStringLiteral("/Archive/Old.quillbox"),
          s.home + QStringLiteral("/Deep/1/2/3/4"), outside + QStringLiteral("/Target"), s.home})
        checkRoundTrip(path);
    makeFolder(documents + QStringLiteral("/Moving"));
    const auto moving = quillbox::createBookmarkData(documents + QStringLiteral("/Moving"));
    fuzz::check(moving.has_value(), "no bookmark for a real folder");
    fuzz::check(QDir().rename(documents + QStringLiteral("/Moving"),
                              documents + QStringLiteral("/Archive/Moved")),
                "cannot move a folder");
    fuzz::check(quillbox::resolveBookmarkData(*moving) ==
                    documents + QStringLiteral("/Archive/Moved"),
                "a moved folder was not found");

    for (const QString &path :
         {documents + QStringLiteral("/Main.quillbox"),
          documents + QStringLiteral("/Archive/Old.quillbox"),
          documents + QStringLiteral("/Archive/Moved"), s.home + QStringLiteral("/Deep/1/2/3/4"),
          outside + QStringLiteral("/Target"), outside, s.home})
        s.folders.push_back(*identityOf(path));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const char *bytes = reinterpret_cast<const char *>(data);
    QByteArray bookmark;
    if (data[0] % 2 == 0) {
        bookmark = QByteArray(bytes + 1, static_cast<qsizetype>(size - 1));
    } else {
        const Setup &s = setup();
        const Identity &identity = s.folders[data[1] / 2 % s.folders.size()];
        const QString &base = data[1] % 2 == 0 ? s.home : s.root;
        const std::size_t count = std::min(size - 2, kMaxRelativeBytes);
        const QByteArray path =
            QFile::encodeName(base) + '/' + QByteArray(bytes + 2, static_cast<qsizetype>(count));
        bookmark = bookmarkFor(identity, path);
    }
    checkAnswer(bookmark, quillbox::resolveBookmarkData(bookmark));
    return 0;
}
