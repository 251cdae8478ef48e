// SQLite's own corpus of malformed databases, which its source package
// ships, run through the terminal program: a seeded sample of the `db`
// tables of test/fuzzdata*.db.
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>
#include <optional>

namespace quillbox
{
namespace
{

const QString kSystemShell = u"/usr/bin/sqlite3"_qs;

struct Image {
    QString name;
    QByteArray bytes;
};

// SQLite's test folder in the unpacked source our shell is built from.
QString sqliteTests()
{
    QProcess script;
    script.start(u"bash"_qs, {QStringLiteral(QUILLBOX_SOURCE_DIR) + u"/scripts/sqlite-shell.sh"_qs,
                              u"source"_qs});
    script.waitForFinished();
    return QString::fromLocal8Bit(script.readAllStandardOutput()).trimmed() + u"/test"_qs;
}

// `count` images from the `db` tables of the fuzzdata databases, chosen
// by `random`.
QList<Image> fuzzImages(const QString &tests, qsizetype count, QRandomGenerator &random)
{
    QList<QPair<QString, QString>> all; // (file, dbid)
    for (const QString &name : QDir(tests).entryList({u"fuzzdata*.db"_qs})) {
        const QString ids = test::runSql(tests + u'/' + name, u"SELECT dbid FROM db;"_qs,
                                         test::ShellFailure::Allowed, kSystemShell);
        for (const QString &id : ids.split(u'\n', Qt::SkipEmptyParts))
            all.append({name, id});
    }
    QList<Image> images;
    while (!all.isEmpty() && images.size() < count) {
        const auto [name, id] = all.takeAt(random.bounded(all.size()));
        const QString hex = test::runSql(
            tests + u'/' + name, u"SELECT hex(dbcontent) FROM db WHERE dbid = %1;"_qs.arg(id),
            test::ShellFailure::FailsTest, kSystemShell);
        images.append({name + u':' + id, QByteArray::fromHex(hex.toLatin1())});
    }
    return images;
}

// Every ordinary table's rows, read through its own b-tree, each value
// with its type and its bytes, by Debian's own SQLite: a reader
// independent of our shell. The tables a rebuilt full-text index builds
// for itself are left out. nullopt when it cannot read them all.
std::optional<QString> rowsOf(const QString &database, const QString &tablesOf)
{
    const QString queries = test::runSql(tablesOf, uR"(SELECT 'SELECT ' || quote(name) || ', ' ||
  iif(wr, '', 'typeof(rowid), hex(rowid), ') ||
  (SELECT group_concat(replace('typeof(@), hex(CASE typeof(@) WHEN ''real'' THEN ieee754_to_blob(@)
     ELSE CAST(@ AS BLOB) END)', '@', '"' || replace(c.name, '"', '""') || '"'), ', ')
   FROM pragma_table_info(l.name) AS c) || ' FROM "' || replace(name, '"', '""') || '" ' ||
  iif(wr, 'INDEXED BY "' || (SELECT replace(i.name, '"', '""') FROM pragma_index_list(l.name) AS i
                             WHERE i.origin = 'pk') || '"', 'NOT INDEXED') || ';'
FROM pragma_table_list AS l WHERE schema = 'main' AND type IN ('table', 'shadow')
  AND name NOT IN ('sqlite_schema', 'sqlite_temp_schema')
  AND NOT (type = 'shadow' AND EXISTS (SELECT 1 FROM (VALUES ('data'), ('idx'), ('docsize'), ('segments'),
    ('segdir'), ('stat')) WHERE l.name LIKE '%\_' || column1 ESCAPE '\'))
ORDER BY name;)"_qs,
                                         test::ShellFailure::Allowed, kSystemShell);
    QProcess reader;
    reader.start(kSystemShell, {u"-init"_qs, u"/dev/null"_qs, u"-batch"_qs, u"-bail"_qs, database});
    reader.write(queries.toUtf8());
    reader.closeWriteChannel();
    reader.waitForFinished(60000);
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(reader.readAllStandardOutput());
}

// Whether SQLite's own check finds damage in indexes alone.
bool onlyIndexesDamaged(const QString &database)
{
    static const QRegularExpression indexLine(
        u"^(row \\d+ missing from index|wrong # of entries in index|non-unique entry in index)"_qs);
    const QString said = test::runSql(database, u"PRAGMA integrity_check;"_qs,
                                      test::ShellFailure::Allowed, kSystemShell);
    const QStringList lines = said.split(u'\n', Qt::SkipEmptyParts);
    return !lines.isEmpty() && std::all_of(lines.cbegin(), lines.cend(), [](const QString &line) {
        return indexLine.match(line).hasMatch();
    });
}

// Each image, as a library's database, is fixed or refused within the time
// limit and without a crash. Fixed means every table holds the rows an
// independent reader gets from the damaged database through the table's own
// b-tree; a refusal, never for damaged indexes alone, leaves the library
// byte for byte as it was.
TEST(CorpusTest, malformedDatabasesAreFixedExactlyOrLeftAsTheyWere)
{
    const QString tests = sqliteTests();
    ASSERT_TRUE(QFileInfo::exists(tests + u"/fuzzdata3.db"_qs))
        << "SQLite's source is not unpacked: run scripts/install-deps.sh";
    const qsizetype sample = qEnvironmentVariableIntValue("QUILLBOX_CORPUS_IMAGES") > 0
                                 ? qEnvironmentVariableIntValue("QUILLBOX_CORPUS_IMAGES")
                                 : 300;
    QRandomGenerator random(20261207);
    const QList<Image> images = fuzzImages(tests, sample, random);
    int fixed = 0;
    for (const Image &image : images) {
        SCOPED_TRACE(image.name.toStdString());
        const QTemporaryDir sandbox;
        const QString library = sandbox.filePath(u"Main.quillbox"_qs);
        const QString damaged = sandbox.filePath(u"damaged.sqlite"_qs);
        ASSERT_TRUE(QDir().mkpath(library));
        test::writeFile(library + u"/Library.sqlite"_qs, image.bytes);
        test::writeFile(damaged, image.bytes);
        const auto before = test::snapshot(library);
        const auto cli = test::startProgram(u"quillbox-repair-cli"_qs, {u"--library"_qs, library});
        ASSERT_TRUE(cli->waitForFinished(120000)) << "past the time limit";
        ASSERT_EQ(cli->exitStatus(), QProcess::NormalExit) << "crashed";
        if (cli->exitCode() == 0) {
            ++fixed;
            const QString fixedDatabase = library + u"/Library.sqlite"_qs;
            const auto rows = rowsOf(fixedDatabase, fixedDatabase);
            EXPECT_TRUE(rows.has_value());
            EXPECT_EQ(rowsOf(damaged, fixedDatabase), rows);
            continue;
        }
        // Damaged indexes alone are rebuilt, never a reason to refuse.
        EXPECT_FALSE(onlyIndexesDamaged(damaged));
        EXPECT_EQ(test::snapshot(library), before) << cli->readAllStandardOutput().toStdString();
    }
    std::cout << images.size() << " images: " << fixed << " fixed, the others refused\n";
}

} // namespace
} // namespace quillbox
