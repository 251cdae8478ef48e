#include "strings/Quantities.h"

namespace bf
{

QString stringWithQuantity(qint64 quantity, const QString &singular, const QString &plural)
{
    return QString::number(quantity) + u' ' + (quantity == 1 ? singular : plural);
}

} // namespace bf
