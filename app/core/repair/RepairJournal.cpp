#include "app/core/repair/RepairJournal.h"

#include "app/core/fs/FileTree.h"
#include "strings/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <fcntl.h>
#include <tuple>
#include <unistd.h>

namespace quillbox
{
namespace
{

constexpr int kVersion = 1;
constexpr qint64 kMaxRecordBytes = qint64{256} * 1024;
// Records written before a phase was added read as before: a name is never
// changed or reused, and a field a record lacks reads as empty.
constexpr std::array kPhaseNames{"copying",   "copied",   "rebuilt",
                                 "restoring", "swapping", "using-recovered"};

// Paths are kept as the bytes the file system uses, so names that are not
// valid UTF-8 survive the round trip.
QString encodePath(const QString &path)
{
    return QString::fromLatin1(QFile::encodeName(path).toBase64());
}

QString decodePath(const QJsonValue &value)
{
    return QFile::decodeName(QByteArray::fromBase64(value.toString().toLatin1()));
}

} // namespace

QString RepairJournal::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quillbox-repair/repair-in-progress.json");
}

bool RepairJournal::write(const RepairRecord &record) const
{
    QJsonObject object{
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("phase"),
         QString::fromLatin1(kPhaseNames.at(static_cast<size_t>(record.phase)))},
        {QStringLiteral("library"), encodePath(record.library)},
        {QStringLiteral("backup"), encodePath(record.backup)},
        {QStringLiteral("partial"), encodePath(record.partial)},
        {QStringLiteral("aside"), encodePath(record.aside)},
        {QStringLiteral("salvage"), encodePath(record.salvage)},
        {QStringLiteral("rebuild"), encodePath(record.rebuild)},
        {QStringLiteral("damaged"), encodePath(record.damaged)},
        {QStringLiteral("recovered"), encodePath(record.recovered)},
    };
    if (record.copy) {
        // As text: JSON numbers lose precision past 2^53.
        object.insert(QStringLiteral("copyEntries"), QString::number(record.copy->entries));
        object.insert(QStringLiteral("copyBytes"), QString::number(record.copy->bytes));
    }
    const QString folder = QFileInfo(path_).path();
    if (!QDir().mkpath(folder))
        return false;
    const QString temporary = path_ + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);
    const bool written =
        file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!written || ::rename(QFile::encodeName(temporary).constData(),
                             QFile::encodeName(path_).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return syncFolder(folder).has_value();
}

std::optional<RepairRecord> RepairJournal::read() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRecordBytes)
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    if (object.value(QStringLiteral("version")).toInt() != kVersion)
        return std::nullopt;
    RepairRecord record;
    const QString phase = object.value(QStringLiteral("phase")).toString();
    const auto found = std::find_if(kPhaseNames.begin(), kPhaseNames.end(),
                                    [&](const char *name) { return phase == QLatin1String(name); });
    if (found == kPhaseNames.end())
        return std::nullopt;
    record.phase = static_cast<RepairPhase>(found - kPhaseNames.begin());
    record.library = decodePath(object.value(QStringLiteral("library")));
    record.backup = decodePath(object.value(QStringLiteral("backup")));
    record.partial = decodePath(object.value(QStringLiteral("partial")));
    record.aside = decodePath(object.value(QStringLiteral("aside")));
    record.salvage = decodePath(object.value(QStringLiteral("salvage")));
    record.rebuild = decodePath(object.value(QStringLiteral("rebuild")));
    record.damaged = decodePath(object.value(QStringLiteral("damaged")));
    record.recovered = decodePath(object.value(QStringLiteral("recovered")));
    bool entriesOk = false;
    bool bytesOk = false;
    const TreeSummary copy{
        object.value(QStringLiteral("copyEntries")).toString().toLongLong(&entriesOk),
        object.value(QStringLiteral("copyBytes")).toString().toLongLong(&bytesOk)};
    if (entriesOk && bytesOk)
        record.copy = copy;
    if (!QDir::isAbsolutePath(record.library) || !QDir::isAbsolutePath(record.backup))
        return std::nullopt;
    return record;
}

QString RepairJournal::folder() const
{
    return QFileInfo(path_).absolutePath();
}

bool RepairJournal::exists() const
{
    return bf::itemExists(path_);
}

void RepairJournal::clear() const
{
    if (QFile::remove(path_))
        std::ignore = syncFolder(QFileInfo(path_).path());
}

} // namespace quillbox
