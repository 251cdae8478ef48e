#pragma once

class QCoreApplication;

namespace quillbox
{

// Installs the translation of the user's locale into `app` when the utility
// carries one. Without one, every text stays in English.
void installTranslations(QCoreApplication &app);

} // namespace quillbox
