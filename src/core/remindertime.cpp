#include "remindertime.h"

#include "catalog.h"

#include <QDateTime>

namespace trovix::ReminderTime {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// Coordinated time has no hour that is skipped or repeated: a day and time of day written as such
// read exactly as the wall clock showed them.
QDateTime wallClock(const Due& due)
{
    return QDateTime(due.date, due.time, Qt::UTC);
}

} // namespace

QString Due::text() const
{
    return wallClock(*this).toString(Catalog::TimeFormat);
}

std::optional<Due> fromClock(const QDate& date, int hour, int minute, const QString& half)
{
    if (!date.isValid() || hour < 1 || hour > 12 || minute < 0 || minute > 59)
        return std::nullopt;
    int hour24 = hour % 12;
    if (half == QLatin1String("PM"))
        hour24 += 12;
    else if (half != QLatin1String("AM"))
        return std::nullopt;
    return Due{date, QTime(hour24, minute)};
}

Clock toClock(const QTime& time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return {QString::number(hour), QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0')),
            time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM")};
}

std::optional<Due> read(const std::optional<QString>& stored)
{
    if (!stored)
        return std::nullopt;
    const QString text = stored->trimmed();
    if (text.isEmpty() || text.size() > 40)
        return std::nullopt;
    // The day and the time of day are read each on its own, never as one local date-time.
    qsizetype split = text.indexOf(QLatin1Char(' '));
    if (split < 0)
        split = text.indexOf(QLatin1Char('T'));
    const QDate day = QDate::fromString(split < 0 ? text : text.left(split), DateFormat);
    if (!day.isValid())
        return std::nullopt;
    if (split < 0)
        return Due{day, QTime(0, 0)};
    const QString clock = text.mid(split + 1);
    for (const QString& format : {QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm")}) {
        const QTime time = QTime::fromString(clock, format);
        if (time.isValid())
            return Due{day, time};
    }
    return std::nullopt;
}

QString display(const std::optional<QString>& stored)
{
    const std::optional<Due> due = read(stored);
    if (!due)
        return stored.value_or(QString());
    return wallClock(*due).toString(QStringLiteral("yyyy-MM-dd h:mm:ss AP"));
}

} // namespace trovix::ReminderTime
