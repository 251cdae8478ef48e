#include "app/core/texts/SalvageText.h"

#include <QCoreApplication>
#include <QHash>

namespace quillbox
{
namespace
{

// Rows named in the details; the file names them all.
constexpr qsizetype kNamedRows = 10;

// The column that names a table's lost rows best: the one that holds text
// for the most of them (the first such, on a tie); empty when none does.
QString labelColumn(const QList<LostRow> &rows)
{
    QHash<QString, int> texts;
    QString best;
    for (const LostRow &row : rows) {
        for (const KnownValue &value : row.known) {
            if (value.isText && ++texts[value.column] > texts.value(best))
                best = value.column;
        }
    }
    return best;
}

// "a, b and c": a list in the user's words, which the C locale has none of.
QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return QCoreApplication::translate("Salvage", "%1 and %2")
        .arg(items.mid(0, items.size() - 1).join(u", "_qs), items.last());
}

QString quoted(const QString &text)
{
    return QCoreApplication::translate("Salvage", "“%1”").arg(text);
}

// "3 rows of “notes” lost: “Meeting 12 May”, “Tax 2025” and one with id
// 4411 whose title is not known".
QString lostSummary(const SalvageReport::Table &table)
{
    const QString label = labelColumn(table.lost);
    QStringList named;
    for (const LostRow &row : table.lost.mid(0, kNamedRows)) {
        const auto value = std::find_if(row.known.begin(), row.known.end(),
                                        [&](const auto &v) { return v.column == label; });
        if (value != row.known.end() && value->isText)
            named.append(quoted(value->value));
        else if (!label.isEmpty())
            named.append(
                QCoreApplication::translate("Salvage", "one with id %1 whose %2 is not known")
                    .arg(QString::number(row.id), label));
        else
            named.append(QCoreApplication::translate("Salvage", "the one with id %1").arg(row.id));
    }
    const int total = static_cast<int>(table.lost.size() + table.lostUnlisted);
    const int more = total - static_cast<int>(named.size());
    if (more > 0)
        named.append(QCoreApplication::translate("Salvage", "%n more", "", more));
    return QCoreApplication::translate("Salvage", "%n rows of “%1” lost: %2", "", total)
        .arg(table.name, listed(named));
}

// "id 4411: title “Meeting 12 May”, score 3.5"
QString lostRowLine(const LostRow &row)
{
    QStringList values;
    for (const KnownValue &value : row.known)
        values.append(value.column + u' ' + (value.isText ? quoted(value.value) : value.value));
    if (values.isEmpty())
        return QCoreApplication::translate("Salvage", "id %1: no value is known").arg(row.id);
    return QCoreApplication::translate("Salvage", "id %1: %2")
        .arg(QString::number(row.id), values.join(u", "_qs));
}

} // namespace

QString lostItemsFileName()
{
    return QCoreApplication::translate("Salvage", "Lost items.txt");
}

QString lostItemsText(const SalvageReport &report)
{
    QStringList lines{QCoreApplication::translate(
        "Salvage",
        "The rows the damaged library lost, with every value its indexes still hold of them.")};
    bool any = false;
    for (const SalvageReport::Table &table : report.tables) {
        if (table.lost.isEmpty())
            continue;
        any = true;
        lines.append(QString());
        const int lost = static_cast<int>(table.lost.size() + table.lostUnlisted);
        lines.append(
            QCoreApplication::translate("Salvage", "“%1”: %n rows lost", "", lost).arg(table.name));
        for (const LostRow &row : table.lost)
            lines.append(lostRowLine(row));
        const int unlisted = static_cast<int>(table.lostUnlisted);
        if (unlisted > 0)
            lines.append(QCoreApplication::translate("Salvage", "%n more rows are not listed here.",
                                                     "", unlisted));
    }
    return any ? lines.join(u'\n') + u'\n' : QString();
}

QString describeSalvage(const SalvageReport &report)
{
    switch (report.failure) {
    case SalvageReport::Failure::NoLibrary:
        return QCoreApplication::translate("Salvage", "There is no “Library.sqlite” in “%1”.")
            .arg(report.detail);
    case SalvageReport::Failure::Busy:
        return QCoreApplication::translate("Salvage", "A repair is already running.");
    case SalvageReport::Failure::Unlockable:
        return report.detail;
    case SalvageReport::Failure::NothingFound:
        return QCoreApplication::translate("Salvage",
                                           "No row could be recovered from the damaged database, "
                                           "so no recovered copy was made.");
    case SalvageReport::Failure::CouldNotWrite:
    case SalvageReport::Failure::CouldNotRecover:
        return QCoreApplication::translate("Salvage",
                                           "The rows could not be recovered, so no recovered copy "
                                           "was made: %1")
            .arg(report.detail);
    case SalvageReport::Failure::None:
        break;
    }
    QStringList lines{
        QCoreApplication::translate(
            "Salvage", "What could be read from the damaged database was saved in “%1”:")
            .arg(report.recoveredPath)};
    for (const SalvageReport::Table &table : report.tables) {
        lines.append(table.expected < 0
                         ? QCoreApplication::translate("Salvage", "%1: %2 rows recovered")
                               .arg(table.name)
                               .arg(table.recovered)
                         : QCoreApplication::translate(
                               "Salvage", "%1: %2 rows recovered; the damaged database suggests %3")
                               .arg(table.name)
                               .arg(table.recovered)
                               .arg(table.expected));
        if (!table.lost.isEmpty())
            lines.append(lostSummary(table));
    }
    if (report.lostAndFound > 0)
        lines.append(QCoreApplication::translate("Salvage",
                                                 "%1 rows could not be placed in their table; "
                                                 "they are in the table “%2”.")
                         .arg(report.lostAndFound)
                         .arg(report.lostAndFoundTable));
    if (!report.lostItemsFile.isEmpty())
        lines.append(QCoreApplication::translate("Salvage",
                                                 "Every lost row, with every value its indexes "
                                                 "still hold, is listed in “%1”.")
                         .arg(report.lostItemsFile));
    return lines.join(u'\n');
}

} // namespace quillbox
