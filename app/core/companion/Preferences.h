#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The companion application's preferences: the INI file
// $XDG_CONFIG_HOME/<main identifier>.conf (default ~/.config), as QSettings
// keeps it. "LastLibraryLocation" holds the library folder's bookmark data.
namespace quillbox
{

// Path of the companion's preferences file.
[[nodiscard]] QString companionPreferencesPath();

// The bookmark data stored under "LastLibraryLocation"; nullopt when the
// file is missing or unreadable, is not an INI file, or the value is absent
// or not binary data.
[[nodiscard]] std::optional<QByteArray> readLibraryLocation();

// Stores `bookmark` under "LastLibraryLocation". False when the file cannot
// be written.
bool writeLibraryLocation(const QByteArray &bookmark);

} // namespace quillbox
