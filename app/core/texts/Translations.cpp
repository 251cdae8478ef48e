#include "app/core/texts/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace quillbox
{

bool loadTranslations(QTranslator &translator, const QLocale &locale)
{
    const QString folder = QStringLiteral(":/i18n");
    return translator.load(locale, QStringLiteral("quillbox"), QStringLiteral("_"), folder) ||
           translator.load(QStringLiteral("quillbox_en"), folder);
}

void installTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (loadTranslations(*translator, QLocale()))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace quillbox
