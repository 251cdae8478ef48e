#include "app/core/companion/Bookmark.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <deque>
#include <dirent.h>
#include <sys/stat.h>

namespace quillbox
{
namespace
{

constexpr std::array<char, 4> kMagic{'Q', 'B', 'B', 'K'};
constexpr quint16 kVersion = 1;
constexpr qsizetype kMaxPathBytes = qsizetype{16} * 1024;
constexpr int kSearchDepth = 3;      // levels below each searched folder
constexpr int kSearchBudget = 20000; // folders looked at, in all

struct Identity {
    quint64 device = 0;
    quint64 inode = 0;
};

std::optional<Identity> folderIdentity(const QByteArray &path)
{
    struct stat st {
    };
    if (stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return Identity{static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

bool sameIdentity(const Identity &a, const Identity &b)
{
    return a.device == b.device && a.inode == b.inode;
}

bool isWithin(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

// Breadth-first search below `root` for a folder with `wanted` identity,
// without following symbolic links. `budget` counts folders looked at.
std::optional<QByteArray> searchBelow(const QByteArray &root, const Identity &wanted, int &budget)
{
    std::deque<std::pair<QByteArray, int>> queue{{root, 0}};
    while (!queue.empty() && budget > 0) {
        auto [dirPath, depth] = queue.front();
        queue.pop_front();
        DIR *dir = opendir(dirPath.constData());
        if (dir == nullptr)
            continue;
        while (const dirent *entry = readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray child = dirPath == "/" ? "/" + name : dirPath + '/' + name;
            struct stat st {
            };
            if (lstat(child.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
            if (--budget <= 0)
                break;
            if (sameIdentity({static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)},
                             wanted)) {
                closedir(dir);
                return child;
            }
            if (depth + 1 < kSearchDepth)
                queue.emplace_back(child, depth + 1);
        }
        closedir(dir);
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> createBookmarkData(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QByteArray pathBytes = QFile::encodeName(absolute);
    const auto identity = folderIdentity(pathBytes);
    if (!identity || pathBytes.size() > kMaxPathBytes)
        return std::nullopt;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.writeRawData(kMagic.data(), kMagic.size());
    out << kVersion << identity->device << identity->inode << pathBytes;
    return data;
}

std::optional<QString> resolveBookmarkData(const QByteArray &data)
{
    if (data.size() < 4 || data.size() > kMaxPathBytes + 64 ||
        !data.startsWith(QByteArray(kMagic.data(), kMagic.size())))
        return std::nullopt;
    QDataStream in(data);
    in.skipRawData(kMagic.size());
    quint16 version = 0;
    Identity recorded;
    quint32 pathSize = 0;
    in >> version >> recorded.device >> recorded.inode >> pathSize;
    if (in.status() != QDataStream::Ok || version != kVersion || pathSize == 0 ||
        pathSize != static_cast<quint64>(data.size()) - in.device()->pos())
        return std::nullopt;
    const QByteArray pathBytes = data.right(pathSize);
    if (pathBytes.contains('\0') || !pathBytes.startsWith('/'))
        return std::nullopt;

    const auto current = folderIdentity(pathBytes);
    if (current && sameIdentity(*current, recorded))
        return QFile::decodeName(pathBytes);

    // Moved or renamed: look below the old parent, then below each ancestor
    // up to the home folder. A folder outside home is not searched for: the
    // recorded path is cleaned first so ".." cannot climb out of home, and a
    // folder whose real path lies outside home (reached through a symbolic
    // link) is skipped.
    const QString home = QDir::cleanPath(QDir::homePath());
    const QString realHome = QFileInfo(home).canonicalFilePath();
    if (realHome.isEmpty())
        return std::nullopt;
    QString searchRoot = QDir::cleanPath(QFileInfo(QFile::decodeName(pathBytes)).path());
    int budget = kSearchBudget;
    while (isWithin(searchRoot, home) && budget > 0) {
        const QString realRoot = QFileInfo(searchRoot).canonicalFilePath();
        if (!realRoot.isEmpty() && isWithin(realRoot, realHome)) {
            if (auto found = searchBelow(QFile::encodeName(searchRoot), recorded, budget))
                return QFile::decodeName(*found);
        }
        if (searchRoot == home)
            break;
        searchRoot = QFileInfo(searchRoot).path();
    }
    // The folder itself is nowhere, but a folder stands at its path: the
    // same library put back in its place (a repair's restore moves the safety
    // copy in under the old name), as a path-based bookmark would find it.
    if (current)
        return QFile::decodeName(pathBytes);
    return std::nullopt;
}

} // namespace quillbox
