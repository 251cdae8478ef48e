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
    const SqliteShell::Output generated =
        shell.query(folder, loadScript(QStringLiteral("CensusScript")));
    if (generated.status != 0)
        return std::nullopt;
    Census census;
    census.script = generated.text;
    const SqliteShell::Output counted = shell.query(folder, kSettings + census.script);
    if (counted.status != 0)
        return std::nullopt;
    census.counts = counted.text;
    for (const QByteArray &line : census.counts.split('\n'))
        census.textValuesWithNul += line.split('|').value(0).toLongLong();
    return census;
}

bool matchesCensus(const SqliteShell &shell, const QString &folder, const Census &census)
{
    const SqliteShell::Output checked =
        shell.query(folder, kSettings + "PRAGMA integrity_check;\n" + census.script);
    return checked.status == 0 && checked.text == "ok\n" + census.counts;
}

} // namespace quillbox
