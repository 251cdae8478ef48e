// The German translation, as built into the programs, covers every text.
#include "tests/support/QtPrinting.h"

#include <QFile>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

// Every message of the catalogue has a finished translation (none marked
// unfinished, vanished or obsolete), and the built catalogue gives it.
TEST(TranslationTest, everyTextHasAFinishedGermanTranslationInThePrograms)
{
    QFile ts(QStringLiteral(QUILLBOX_SOURCE_DIR "/resources/translations/quillbox_de.ts"));
    ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
    QTranslator german;
    ASSERT_TRUE(german.load(u":/i18n/quillbox_de.qm"_qs));
    QXmlStreamReader xml(&ts);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"source")
            source = xml.readElementText();
        else if (xml.name() == u"translation") {
            SCOPED_TRACE(context.toStdString() + ": " + source.toStdString());
            EXPECT_EQ(xml.attributes().value(QLatin1String("type")).toString(), QString());
            const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            EXPECT_FALSE(translation.trimmed().isEmpty());
            EXPECT_EQ(german.translate(context.toUtf8(), source.toUtf8()), translation);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}

} // namespace
} // namespace quillbox
