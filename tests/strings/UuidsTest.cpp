#include "strings/Uuids.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

// A one-line wrapper around QUuid: only its spelling is ours to check.
TEST(UuidString, isAnUpperCaseVersion4UuidWithoutBraces)
{
    const QRegularExpression canonical(
        u"^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"_qs);
    const QString uuid = bf::UUIDString();
    EXPECT_TRUE(canonical.match(uuid).hasMatch()) << uuid.toStdString();
}

} // namespace
