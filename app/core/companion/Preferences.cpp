#include "app/core/companion/Preferences.h"

#include "app/core/companion/Companion.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace quillbox
{

QString companionPreferencesPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           companion::kMainIdentifier + QStringLiteral(".conf");
}

std::optional<QByteArray> readLibraryLocation()
{
    const QString path = companionPreferencesPath();
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return std::nullopt;
    const QVariant value = settings.value(companion::kLibraryLocationKey);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

bool writeLibraryLocation(const QByteArray &bookmark)
{
    const QString path = companionPreferencesPath();
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(companion::kLibraryLocationKey, bookmark);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace quillbox
