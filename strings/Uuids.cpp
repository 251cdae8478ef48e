#include "strings/Uuids.h"

#include <QUuid>

namespace bf
{

QString UUIDString()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace bf
