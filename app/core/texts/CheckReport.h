#pragma once

#include "app/core/frontend/Alerts.h"
#include "app/core/outcomes/RepairFailure.h"
#include "app/core/sqlite/DamageVerdict.h"

#include <QString>

#include <optional>

// Every text a check of a library shows the user, and the terminal
// program's exit status for it, made from what the check found. The check
// only says what it found (a DamageVerdict, a Failure); the words are here.
namespace quillbox
{

enum class CheckOutcome;

// How a check ends that found `verdict`; nullopt when the database could
// not be read at all, which a repair would refuse too.
[[nodiscard]] CheckOutcome checkOutcomeOf(const std::optional<DamageVerdict> &verdict);

// How a check ends that stopped with `cause` before it had a verdict.
[[nodiscard]] CheckOutcome checkOutcomeOf(Cause cause);

// The alert for a check of the library folder `library` that found
// `verdict`: its outcome, and in its details one line for each damaged
// table and index and for whatever else was found, each saying what a
// repair would do about it. `shellSaid` is the shell's own last word, for a
// database that could not be read (nullopt).
[[nodiscard]] Alert verdictAlert(const std::optional<DamageVerdict> &verdict,
                                 const QString &library, const QString &shellSaid);

// The alert for a check stopped by `failure` before it had a verdict.
[[nodiscard]] Alert checkRefusalAlert(const Failure &failure, const QString &library);

// The alert for a check that did not read the library, because the first
// read would roll back or delete its Library.sqlite-journal.
[[nodiscard]] Alert journalPendingAlert(const QString &library);

} // namespace quillbox
