#include "app/core/LibraryCensus.h"

#include "app/core/ShellSettings.h"
#include "app/core/SqliteShell.h"

#include <QList>

#include <future>

namespace quillbox
{

std::optional<Census> takeCensus(const SqliteShell &shell, const QString &folder)
{
    const QByteArray settings = shellSettings() + onlyRead() + mappedReads();
    const SqliteShell::Output censusScript =
        shell.query(folder, settings + loadScript(QStringLiteral("CensusScript")));
    const SqliteShell::Output digestScript =
        shell.query(folder, settings + loadScript(QStringLiteral("DigestScript")));
    if (censusScript.status != 0 || digestScript.status != 0)
        return std::nullopt;
    const SqliteShell::Output scanned = shell.query(folder, settings + censusScript.text);
    if (scanned.status != 0)
        return std::nullopt;
    Census census;
    census.digestScript = digestScript.text;
    // Each line is "count|name in hex|rows with NUL|inexact REAL values".
    qint64 inexactReals = 0;
    for (const QByteArray &line : scanned.text.split('\n')) {
        const QByteArrayList fields = line.split('|');
        if (fields.size() != 4)
            continue;
        census.rowsWithNulText += fields[2].toLongLong();
        inexactReals += fields[3].toLongLong();
    }
    if (inexactReals > 0) {
        const SqliteShell::Output realsScript =
            shell.query(folder, settings + loadScript(QStringLiteral("RealsScript")));
        const SqliteShell::Output statements =
            realsScript.status == 0 ? shell.query(folder, settings + realsScript.text)
                                    : realsScript;
        if (statements.status != 0)
            return std::nullopt;
        census.exactReals = statements.text;
    }
    return census;
}

std::optional<QByteArray> digestTables(const SqliteShell &shell, const QString &folder,
                                       const Census &census)
{
    const SqliteShell::Output digested =
        shell.query(folder, shellSettings() + onlyRead() + mappedReads() + census.digestScript);
    if (digested.status != 0)
        return std::nullopt;
    return digested.text;
}

bool matchesDigests(const SqliteShell &shell, const QString &folder, const Census &census,
                    const QByteArray &digests)
{
    // The integrity check and the digests are two reads of the same file;
    // they run side by side, one on each core. The rebuild has just written
    // every page, so the file is in memory already and is mapped.
    auto digesting = std::async(std::launch::async, [shell, folder, &census] {
        return digestTables(shell, folder, census);
    });
    const SqliteShell::Output checked =
        shell.query(folder, shellSettings() + mappedReads() + "PRAGMA integrity_check;\n");
    const std::optional<QByteArray> rebuilt = digesting.get();
    return checked.status == 0 && checked.text == "ok\n" && rebuilt == digests;
}

} // namespace quillbox
