// Records a library folder in Quillbox's preferences, as the companion
// application does: quillbox-set-library DIR.
#include "app/core/companion/Bookmark.h"
#include "app/core/companion/Preferences.h"
#include "app/core/texts/Translations.h"

#include <QCoreApplication>
#include <QTextStream>

namespace
{

QString usageLine()
{
    return QCoreApplication::translate("SetLibrary", "Usage: %1 DIR")
        .arg(QCoreApplication::applicationName());
}

// Prints an error on standard error, the program's name first; status 1.
int fail(const QString &error, const QString &hint = QString())
{
    QTextStream err(stderr);
    err << QCoreApplication::applicationName() << u": "_qs << error << Qt::endl;
    if (!hint.isEmpty())
        err << hint << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillbox-set-library"));
    quillbox::installTranslations(app);
    const QStringList args = QCoreApplication::arguments();
    if (args.contains(u"--help"_qs) || args.contains(u"-h"_qs)) {
        QTextStream(stdout) << usageLine() << u"\n\n"_qs
                            << QCoreApplication::translate(
                                   "SetLibrary",
                                   "Records the library folder DIR in Quillbox's preferences, as "
                                   "Quillbox does,\nso that Quillbox and Quillbox Repair find it.")
                            << Qt::endl;
        return 0;
    }
    const QString usageHint = usageLine() + u'\n' +
                              QCoreApplication::translate("SetLibrary", "Try “%1 --help” for more.")
                                  .arg(QCoreApplication::applicationName());
    if (args.size() < 2)
        return fail(QCoreApplication::translate("SetLibrary", "No folder was given."), usageHint);
    if (args.size() > 2)
        return fail(
            QCoreApplication::translate("SetLibrary", "Unexpected argument “%1”.").arg(args[2]),
            usageHint);
    if (args[1].startsWith(u'-'))
        return fail(QCoreApplication::translate("SetLibrary", "Unknown option “%1”.").arg(args[1]),
                    usageHint);
    const auto bookmark = quillbox::createBookmarkData(args[1]);
    if (!bookmark)
        return fail(
            QCoreApplication::translate("SetLibrary", "“%1” is not a folder.").arg(args[1]));
    if (!quillbox::writeLibraryLocation(*bookmark))
        return fail(QCoreApplication::translate("SetLibrary", "“%1” cannot be written.")
                        .arg(quillbox::companionPreferencesPath()));
    return 0;
}
