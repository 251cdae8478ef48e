// The German translation, as built into the programs, covers every text that
// lupdate finds in the sources.
#include "tests/support/QtPrinting.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace quillbox
{
namespace
{

struct Translation {
    QString text;
    QString type;           // "unfinished", "vanished", "obsolete"; empty when finished
    QStringList forms = {}; // a text with a count: its singular, then its plural
};

// (context, source) → translation, as a .ts file holds them.
using Messages = std::map<std::pair<QString, QString>, Translation>;

Messages readTs(const QString &path)
{
    QFile ts(path);
    EXPECT_TRUE(ts.open(QIODevice::ReadOnly)) << path.toStdString();
    Messages messages;
    QXmlStreamReader xml(&ts);
    QString context;
    QString source;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message") {
            numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
        } else if (xml.name() == u"numerusform") {
            Translation &translation = messages[{context, source}];
            translation.forms.append(xml.readElementText());
            translation.text += translation.forms.last();
        } else if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            messages[{context, source}] = {numerus ? QString() : xml.readElementText(), type};
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

// lupdate reads the sources afresh, so a text the committed catalogue lacks
// is found too; each must have a finished translation there, and the
// catalogue built into the programs must give it.
TEST(TranslationTest, everyTextInTheSourcesHasAFinishedGermanTranslationInThePrograms)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(QUILLBOX_SOURCE_DIR));
    lupdate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lupdate.start(QStringLiteral(QUILLBOX_LUPDATE),
                  {u"-silent"_qs, u"app"_qs, u"strings"_qs, u"resources/ui"_qs, u"-ts"_qs,
                   dir.filePath(u"extracted_de.ts"_qs)});
    ASSERT_TRUE(lupdate.waitForFinished(60000)) << lupdate.errorString().toStdString();
    ASSERT_EQ(lupdate.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(lupdate.exitCode(), 0);
    const Messages extracted = readTs(dir.filePath(u"extracted_de.ts"_qs));
    ASSERT_FALSE(extracted.empty());

    const Messages german =
        readTs(QStringLiteral(QUILLBOX_SOURCE_DIR "/resources/translations/quillbox_de.ts"));
    QTranslator built;
    ASSERT_TRUE(built.load(u":/i18n/quillbox_de.qm"_qs));
    for (const auto &message : extracted) {
        const auto &[context, source] = message.first;
        SCOPED_TRACE(context.toStdString() + ": " + source.toStdString());
        const auto found = german.find(message.first);
        if (found == german.end()) {
            ADD_FAILURE() << "no translation in quillbox_de.ts";
            continue;
        }
        EXPECT_EQ(found->second.type, QString());
        EXPECT_FALSE(found->second.text.trimmed().isEmpty());
        const QStringList &forms = found->second.forms;
        if (forms.isEmpty()) {
            EXPECT_EQ(built.translate(context.toUtf8(), source.toUtf8()), found->second.text);
        }
        for (int n = 1; n <= forms.size(); ++n) {
            EXPECT_FALSE(forms[n - 1].isEmpty());
            EXPECT_EQ(built.translate(context.toUtf8(), source.toUtf8(), "", n), forms[n - 1]);
        }
    }
}

} // namespace
} // namespace quillbox
