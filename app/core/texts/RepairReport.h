#pragma once

#include "app/core/frontend/Alerts.h"
#include "app/core/outcomes/RepairFailure.h"
#include "app/core/outcomes/RestoreResult.h"

#include <QString>
#include <QStringList>

// Every text a repair shows the user, and every exit status of the terminal
// program, made from how the repair ended. The repair's steps only say what
// happened (a Failure); the words for it are all here.
namespace quillbox
{

enum class RepairOutcome;

// Where a repair worked: the library folder and its safety copy (empty
// before one was named).
struct RepairPlaces {
    QString library;
    QString backup;
    // Extended attributes the safety copy could not keep, "path: attribute".
    QStringList dropped = {};
    // The rows of each of the library's tables that a fixed library kept,
    // every one compared with the damaged library, by table.
    QList<QPair<QString, qint64>> kept = {};
};

// The alert for a repair stopped by `failure`; for the causes that need a
// restore, the alert shown once the safety copy is back. Not for Corrupt.
[[nodiscard]] Alert failureAlert(const Failure &failure, const RepairPlaces &places);

// The alert for a library beyond repair, with the Support and Cancel
// buttons; `salvaged` says what was saved of it, `shellSaid` (may be empty)
// is the shell's own last word.
[[nodiscard]] Alert corruptAlert(const RepairPlaces &places, const QString &salvaged,
                                 const QString &shellSaid);

// The address the Support button writes to, with its subject.
[[nodiscard]] QString supportMailUrl();

// The alert for a safety copy that could not be put back (`result` is not
// Restored); `libraryMissing` when there was no library folder to replace;
// `leftovers`, what the repair made and could not remove.
[[nodiscard]] Alert notRestoredAlert(RestoreResult result, bool libraryMissing,
                                     const RepairPlaces &places, const QStringList &leftovers);

// Why a folder whose file system has no locks cannot be worked on; `why` is
// the system's word for it.
[[nodiscard]] QString lockUnsupportedText(const QString &folder, const QString &why);

// The alert for a fixed library.
[[nodiscard]] Alert fixedAlert(const RepairPlaces &places);

} // namespace quillbox
