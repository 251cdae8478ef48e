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

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QList<Message> readTs(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    QList<Message> messages;
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"message")
            messages.append({context, {}, {}, {}});
        else if (xml.name() == u"source")
            messages.last().source = xml.readElementText();
        else if (xml.name() == u"translation") {
            messages.last().type = xml.attributes().value(QLatin1String("type")).toString();
            messages.last().translation =
                xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

TEST(TranslationTest, everyTextHasAFinishedGermanTranslationInThePrograms)
{
    const QList<Message> messages =
        readTs(QStringLiteral(QUILLBOX_SOURCE_DIR "/resources/translations/quillbox_de.ts"));
    ASSERT_GT(messages.size(), 50);
    QTranslator german;
    ASSERT_TRUE(german.load(u":/i18n/quillbox_de.qm"_qs));
    for (const Message &message : messages) {
        SCOPED_TRACE(message.context.toStdString() + ": " + message.source.toStdString());
        EXPECT_EQ(message.type, QString());
        EXPECT_FALSE(message.translation.trimmed().isEmpty());
        EXPECT_EQ(german.translate(message.context.toUtf8(), message.source.toUtf8()),
                  message.translation);
    }
}

} // namespace
} // namespace quillbox
