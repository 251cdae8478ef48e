#pragma once

#include <QString>

namespace quillbox
{

// What the utility asks about the companion application's installation.
class CompanionApps
{
  public:
    virtual ~CompanionApps() = default;
    // True when an application with this identifier is installed.
    virtual bool isInstalled(const QString &identifier) = 0;
    // True when an application with this identifier runs for this user.
    virtual bool isRunning(const QString &identifier) = 0;
};

// The freedesktop answer: an application is installed when a desktop entry
// "<identifier>.desktop" lies in the XDG application folders
// ($XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS). It runs when a
// process of the current user executes the program its entry names
// (TryExec, else the first word of Exec, resolved on PATH), or when the
// identifier is owned as a name on the D-Bus session bus.
class DesktopCompanionApps final : public CompanionApps
{
  public:
    bool isInstalled(const QString &identifier) override;
    bool isRunning(const QString &identifier) override;
};

// The desktop entry file for `identifier`, or empty when there is none.
[[nodiscard]] QString desktopEntryPath(const QString &identifier);

// The absolute path of the executable a desktop entry starts, or empty when
// the entry names none or it cannot be found on PATH.
[[nodiscard]] QString desktopEntryExecutable(const QString &entryPath);

} // namespace quillbox
