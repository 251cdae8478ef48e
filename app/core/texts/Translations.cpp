#include "app/core/texts/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace quillbox
{

void installTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(), QStringLiteral("quillbox"), QStringLiteral("_"),
                         QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace quillbox
