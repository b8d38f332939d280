// Reading a stored due time: any text is either no time or a valid one, a time read back from its own
// stored form is the same time, and the 12-hour clock shown for it gives that time again.
#include "fuzzcheck.h"

#include "core/remindertime.h"

using namespace trovix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = fuzz::text(data, size);
    ReminderTime::display(input);
    const std::optional<ReminderTime::Due> time = ReminderTime::read(input);
    if (!time)
        return 0;
    fuzz::require(time->date.isValid() && time->time.isValid(), "a time read is valid", input);

    const std::optional<ReminderTime::Due> again = ReminderTime::read(time->text());
    fuzz::require(again && *again == *time, "a stored time reads back as itself", input);

    const ReminderTime::Clock clock = ReminderTime::toClock(time->time);
    const std::optional<ReminderTime::Due> typed =
            ReminderTime::fromClock(time->date, clock.hour.toInt(), clock.minute.toInt(), clock.half);
    const ReminderTime::Due toMinute{time->date, QTime(time->time.hour(), time->time.minute())};
    fuzz::require(typed && *typed == toMinute, "the shown clock types back the same minute", input);
    return 0;
}
