// The German translation, as built into the programs, covers every text that
// lupdate finds in the sources; the English one, every text with a count.
#include "app/core/texts/Translations.h"
#include "tests/support/QtPrinting.h"

#include <QFile>
#include <QLocale>
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

// Every text lupdate finds in the sources now, so a text the committed
// catalogues lack is found too.
Messages textsInTheSources()
{
    const QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(QUILLBOX_SOURCE_DIR));
    lupdate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lupdate.start(QStringLiteral(QUILLBOX_LUPDATE),
                  {u"-silent"_qs, u"app"_qs, u"strings"_qs, u"resources/ui"_qs, u"-ts"_qs,
                   dir.filePath(u"extracted_de.ts"_qs)});
    EXPECT_TRUE(lupdate.waitForFinished(60000)) << lupdate.errorString().toStdString();
    EXPECT_EQ(lupdate.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lupdate.exitCode(), 0);
    return readTs(dir.filePath(u"extracted_de.ts"_qs));
}

// Each must have a finished translation in the German catalogue, and the
// catalogue built into the programs must give it.
TEST(TranslationTest, everyTextInTheSourcesIsTranslatedInThePrograms)
{
    const Messages extracted = textsInTheSources();
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
    // A text with a count agrees with it in English too ("1 row", "2 rows"):
    // every such text has both forms in the English catalogue, which the
    // programs load for a locale without a catalogue of its own.
    const Messages english =
        readTs(QStringLiteral(QUILLBOX_SOURCE_DIR "/resources/translations/quillbox_en.ts"));
    for (const auto &[key, text] : extracted) {
        if (text.forms.isEmpty())
            continue;
        SCOPED_TRACE(key.second.toStdString());
        const auto found = english.find(key);
        ASSERT_NE(found, english.end()) << "missing from quillbox_en.ts";
        EXPECT_EQ(found->second.type, QString());
        EXPECT_EQ(found->second.forms.size(), 2);
        EXPECT_FALSE(found->second.forms.contains(QString()));
    }
    const char *const lost = "%n rows of “%1” lost: %2";
    for (const char *locale : {"C", "en_GB", "fr_FR"}) {
        SCOPED_TRACE(locale);
        QTranslator translator;
        ASSERT_TRUE(loadTranslations(translator, QLocale(QString::fromLatin1(locale))));
        EXPECT_EQ(translator.translate("Salvage", lost, "", 1), u"%n row of “%1” lost: %2");
        EXPECT_EQ(translator.translate("Salvage", lost, "", 2), u"%n rows of “%1” lost: %2");
    }
    QTranslator loaded;
    ASSERT_TRUE(loadTranslations(loaded, QLocale(u"de_DE"_qs)));
    EXPECT_EQ(loaded.translate("Salvage", lost, "", 1), u"%n Zeile von „%1“ verloren: %2");
}

} // namespace
} // namespace quillbox
