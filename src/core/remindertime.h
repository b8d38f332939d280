#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

// How a reminder's due time is typed (a day, an hour on the 12-hour clock, a
// minute, "AM" or "PM"), how it is stored (local time as sortable text), and
// how it is read back.
namespace trovix::ReminderTime {

// A due time as the wall clock reads it: a day and a time of day, kept apart because a local
// date-time is invalid in the hour that daylight saving skips and ambiguous in the one it repeats.
// Such a time is kept as typed, and falls due once the clock has passed it.
struct Due
{
    QDate date;
    QTime time;

    // The stored form, "2026-12-05 21:05:00".
    QString text() const;
    bool operator==(const Due&) const = default;
};

// The 12-hour clock as typed: 12 AM is midnight, 12 PM noon, 1 to 11 PM are 13 to 23.
// Nothing for an hour outside 1..12, a minute outside 0..59 or a half other than "AM"/"PM".
std::optional<Due> fromClock(const QDate& date, int hour, int minute, const QString& half);

// The hour (1 to 12, as the clock shows it), the minute (two digits) and "AM" or "PM" of a time.
struct Clock
{
    QString hour;
    QString minute;
    QString half;
};
Clock toClock(const QTime& time);

// A stored time: text in the stored form (also with 'T', without seconds, or a date alone, taken as
// midnight). Nothing when it holds no value or is not a time.
std::optional<Due> read(const std::optional<QString>& stored);

// How a time is shown: the date, then the 12-hour clock with seconds, "2026-12-05 9:05:00 PM".
// A stored value that is not a time is shown as it stands.
QString display(const std::optional<QString>& stored);

} // namespace trovix::ReminderTime
