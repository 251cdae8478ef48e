#include "app/core/ShellSettings.h"

namespace quillbox
{

QByteArray shellSettings()
{
    return QByteArrayLiteral(".bail on\n.timeout 30000\n.echo off\n.headers off\n.mode list\n"
                             ".separator \"|\" \"\\n\"\n.nullvalue \"\"\n"
                             ".changes off\n.timer off\n");
}

QByteArray onlyRead()
{
    // The setting prints its new value, which nobody needs.
    return QByteArrayLiteral(".output /dev/null\n.dbconfig no_ckpt_on_close on\n.output stdout\n");
}

QByteArray mappedReads()
{
    // Up to 2 GiB (SQLite may allow less); beyond it pages are read the
    // usual way. The pragma prints the size it settled on.
    return QByteArrayLiteral(".output /dev/null\nPRAGMA mmap_size=2147483648;\n.output stdout\n");
}

} // namespace quillbox
