#include "remindertime.h"

#include "platform/value.h"

#include <QVariant>

namespace trovix::ReminderTime {

std::optional<QDateTime> fromClock(const QDate& date, int hour, int minute, const QString& half)
{
    if (!date.isValid() || hour < 1 || hour > 12 || minute < 0 || minute > 59)
        return std::nullopt;
    int hour24 = hour % 12;
    if (half == QLatin1String("PM"))
        hour24 += 12;
    else if (half != QLatin1String("AM"))
        return std::nullopt;
    return QDateTime(date, QTime(hour24, minute));
}

Clock toClock(const QTime& time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return {QString::number(hour), QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0')),
            time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM")};
}

std::optional<QDateTime> read(const QVariant& stored)
{
    if (stored.isNull())
        return std::nullopt;
    if (stored.typeId() == QMetaType::QDateTime) {
        const QDateTime value = stored.toDateTime();
        return value.isValid() ? std::optional(value) : std::nullopt;
    }
    if (isWholeNumber(stored) || stored.typeId() == QMetaType::Double)
        return std::nullopt;
    const QString text = stored.toString().trimmed();
    if (text.isEmpty() || text.size() > 40)
        return std::nullopt;
    for (const QString& format : {DateTimeTextFormat, QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
                                  QStringLiteral("yyyy-MM-dd HH:mm"), QStringLiteral("yyyy-MM-ddTHH:mm")}) {
        const QDateTime value = QDateTime::fromString(text, format);
        if (value.isValid())
            return value;
    }
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (day.isValid())
        return QDateTime(day, QTime(0, 0));
    return std::nullopt;
}

QString display(const QVariant& stored)
{
    const std::optional<QDateTime> time = read(stored);
    if (!time)
        return stored.isNull() ? QString() : stored.toString();
    return time->toString(QStringLiteral("yyyy-MM-dd h:mm:ss AP"));
}

} // namespace trovix::ReminderTime
