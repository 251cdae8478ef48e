#include "app/core/sqlite/ShellPreamble.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace quillbox
{

QByteArray shellPreamble()
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

std::optional<ShellLine> splitShellLine(const QByteArray &line, int fields)
{
    ShellLine split;
    qsizetype from = 0;
    for (int i = 0; i < fields; ++i) {
        const qsizetype bar = line.indexOf('|', from);
        if (bar < 0)
            return std::nullopt;
        split.fields.append(line.mid(from, bar - from));
        from = bar + 1;
    }
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(line.mid(from), &error);
    if (error.error != QJsonParseError::NoError || !json.isArray())
        return std::nullopt;
    for (const auto &text : json.array())
        split.texts.append(text.toString());
    return split;
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
    // The program flushes what was built itself, once it is whole and
    // before it counts as done: SQLite's own flush at the commit would make
    // it wait for the disk twice.
    return {".output /dev/null", ".dbconfig defensive off", "PRAGMA synchronous=OFF",
            ".output stdout"};
}

} // namespace quillbox
