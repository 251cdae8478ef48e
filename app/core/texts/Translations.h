#pragma once

class QCoreApplication;
class QLocale;
class QTranslator;

namespace quillbox
{

// Loads into `translator` the utility's catalogue for `locale`; for a locale
// it has none for, the English one, which gives the plural forms of the
// English source texts ("1 row", "2 rows"). False when neither loads.
[[nodiscard]] bool loadTranslations(QTranslator &translator, const QLocale &locale);

// Installs into `app` the catalogue loadTranslations() finds for the user's
// locale.
void installTranslations(QCoreApplication &app);

} // namespace quillbox
