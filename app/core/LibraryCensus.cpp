#include "app/core/LibraryCensus.h"

#include "app/core/SqliteShell.h"

#include <QList>

namespace quillbox
{
namespace
{

// Shell settings the counting output relies on.
const QByteArray kSettings = QByteArrayLiteral(".bail on\n.echo off\n.headers off\n.mode list\n"
                                               ".separator \"|\" \"\\n\"\n.nullvalue \"\"\n"
                                               ".changes off\n.timer off\n");

} // namespace

std::optional<Census> takeCensus(const SqliteShell &shell, const QString &folder)
{
    // One pass over the damaged database counts the rows and the text
    // values holding NUL; the rebuilt one is only counted.
    const SqliteShell::Output scan = shell.query(folder, loadScript(QStringLiteral("CensusScript")));
    const SqliteShell::Output count = shell.query(folder, loadScript(QStringLiteral("CountScript")));
    if (scan.status != 0 || count.status != 0)
        return std::nullopt;
    const SqliteShell::Output scanned = shell.query(folder, kSettings + scan.text);
    if (scanned.status != 0)
        return std::nullopt;
    Census census;
    census.countScript = count.text;
    for (const QByteArray &line : scanned.text.split('\n')) {
        const qsizetype bar = line.indexOf('|');
        if (bar < 0)
            continue;
        census.textValuesWithNul += line.left(bar).toLongLong();
        census.counts += line.mid(bar + 1) + '\n';
    }
    return census;
}

bool matchesCensus(const SqliteShell &shell, const QString &folder, const Census &census)
{
    const SqliteShell::Output checked =
        shell.query(folder, kSettings + "PRAGMA integrity_check;\n" + census.countScript);
    return checked.status == 0 && checked.text == "ok\n" + census.counts;
}

} // namespace quillbox
