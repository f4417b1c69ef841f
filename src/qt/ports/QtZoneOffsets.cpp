#include "qt/ports/QtZoneOffsets.h"

#include <QDateTime>
#include <QTimeZone>

namespace pagelet {

std::optional<int> QtZoneOffsets::offsetAt(const std::string& zone, std::int64_t utcSeconds) const
{
    const QTimeZone found(QByteArray::fromStdString(zone));
    if (!found.isValid())
        return std::nullopt;
    return found.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc()));
}

} // namespace pagelet
