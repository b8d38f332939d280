// The search criterion: any text is either refused with the run-time error or read as one column and one
// value, and a criterion built from a column and any value reads back as that column and that value.
#include "fuzzcheck.h"

#include "platform/criteria.h"
#include "platform/runtimeerror.h"

using namespace trovix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = fuzz::text(data, size);
    try {
        const Criterion parsed = Criterion::parse(input);
        fuzz::require(!parsed.column.isEmpty(), "a parsed criterion names a column", input);
    } catch (const RuntimeError& error) {
        fuzz::require(error.code() == ErrorCode::InvalidArgument, "a refusal is error 3001", input);
    }

    // The same bytes as a value: whatever it holds, apostrophes above all, it comes back unchanged.
    try {
        const Criterion back = Criterion::parse(criterion(QStringLiteral("name"), input));
        fuzz::require(back.column == QLatin1String("name") && back.value == input,
                      "a built criterion reads back as its value", input);
    } catch (const RuntimeError&) {
        fuzz::require(false, "a built criterion is always readable", input);
    }
    return 0;
}
