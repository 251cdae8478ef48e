#include "app/core/ShellSettings.h"

namespace quillbox
{

QByteArray shellSettings()
{
    return QByteArrayLiteral(".bail on\n.timeout 30000\n.echo off\n.headers off\n.mode list\n"
                             ".separator \"|\" \"\\n\"\n.nullvalue \"\"\n"
                             ".changes off\n.timer off\n");
}

QByteArray sqlString(const QString &text)
{
    return '\'' + text.toUtf8().replace('\'', "''") + '\'';
}

QByteArray sqlName(const QString &text)
{
    return '"' + text.toUtf8().replace('"', "\"\"") + '"';
}

QByteArrayList onlyRead(Reads reads)
{
    // Each setting prints its new value, which nobody needs. The map is up
    // to 2 GiB (SQLite may allow less); beyond it pages are read the usual
    // way.
    QByteArrayList commands{".output /dev/null", ".dbconfig no_ckpt_on_close on"};
    if (reads == Reads::Mapped)
        commands.append("PRAGMA mmap_size=2147483648");
    commands.append(".output stdout");
    return commands;
}

QByteArrayList rebuilding()
{
    return {".output /dev/null", ".dbconfig defensive off", ".output stdout"};
}

} // namespace quillbox
