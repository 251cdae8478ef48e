#include "strings/Uuids.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace
{

TEST(UuidString, isANewUpperCaseVersion4UuidEachTime)
{
    const QRegularExpression canonical(
        u"^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"_qs);
    QSet<QString> seen;
    for (int i = 0; i < 10000; ++i) {
        const QString uuid = bf::UUIDString();
        ASSERT_TRUE(canonical.match(uuid).hasMatch()) << uuid.toStdString();
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 10000);
}

} // namespace
