// Records a library folder in Quillbox's preferences, as the companion
// application does: quillbox-set-library DIR.
#include "app/core/Bookmark.h"
#include "app/core/Preferences.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    const QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: quillbox-set-library DIR" << Qt::endl;
        return 1;
    }
    const auto bookmark = quillbox::createBookmarkData(args[1]);
    if (!bookmark) {
        err << "not a folder: " << args[1] << Qt::endl;
        return 1;
    }
    if (!quillbox::writeLibraryLocation(*bookmark)) {
        err << "cannot write " << quillbox::companionPreferencesPath() << Qt::endl;
        return 1;
    }
    return 0;
}
