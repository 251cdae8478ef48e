#include "app/core/LibraryCensus.h"

#include "app/core/SqliteShell.h"

#include <QList>

#include <future>

namespace quillbox
{
namespace
{

// Shell settings the counting scripts and their output rely on; the shell
// waits for another reader's lock (the dump runs meanwhile) instead of failing.
const QByteArray kSettings =
    QByteArrayLiteral(".bail on\n.timeout 30000\n.echo off\n.headers off\n.mode list\n"
                      ".separator \"|\" \"\\n\"\n.nullvalue \"\"\n"
                      ".changes off\n.timer off\n");

// The damaged database is only read: a reader that happens to close it last
// leaves its log as it found it. (The setting prints its new value.)
const QByteArray kOnlyRead =
    QByteArrayLiteral(".output /dev/null\n.dbconfig no_ckpt_on_close on\n.output stdout\n");

// How much of a database the check maps (SQLite may allow less); beyond it
// pages are read the usual way.
constexpr qint64 kMapLimit = qint64{2} << 30;

} // namespace

std::optional<Census> takeCensus(const SqliteShell &shell, const QString &folder)
{
    // One full scan of each table gives its row count and its rows with NUL
    // text; the rebuilt database is later counted with the plain counting
    // script, made here from the damaged schema.
    const SqliteShell::Output censusScript =
        shell.query(folder, kSettings + kOnlyRead + loadScript(QStringLiteral("CensusScript")));
    const SqliteShell::Output countScript =
        shell.query(folder, kSettings + kOnlyRead + loadScript(QStringLiteral("CountScript")));
    if (censusScript.status != 0 || countScript.status != 0)
        return std::nullopt;
    const SqliteShell::Output scanned =
        shell.query(folder, kSettings + kOnlyRead + censusScript.text);
    if (scanned.status != 0)
        return std::nullopt;
    Census census;
    census.countScript = countScript.text;
    // Each line is "count|name in hex|rows with NUL"; the first two fields
    // are what the counting script prints.
    for (const QByteArray &line : scanned.text.split('\n')) {
        const qsizetype last = line.lastIndexOf('|');
        if (last < 0)
            continue;
        census.counts += line.left(last) + '\n';
        census.rowsWithNulText += line.mid(last + 1).toLongLong();
    }
    return census;
}

bool matchesCensus(const SqliteShell &shell, const QString &folder, const Census &census)
{
    // The integrity check and the counts are two reads of the same file; they
    // run side by side, one on each core. The rebuild has just written every
    // page, so the file is in memory already and is mapped rather than copied
    // into the shell page by page, which takes the check half as long.
    // The pragma prints the size it settled on, which is not wanted here.
    const QByteArray settings =
        kSettings + ".output /dev/null\nPRAGMA mmap_size=" + QByteArray::number(kMapLimit) +
        ";\n.output stdout\n";
    auto counting =
        std::async(std::launch::async, [shell, folder, script = settings + census.countScript] {
            return shell.query(folder, script);
        });
    const SqliteShell::Output checked = shell.query(folder, settings + "PRAGMA integrity_check;\n");
    const SqliteShell::Output counted = counting.get();
    return checked.status == 0 && checked.text == "ok\n" && counted.status == 0 &&
           counted.text == census.counts;
}

} // namespace quillbox
