// Repeat::parse on arbitrary bytes, and the recurrence round trip.
//
// Properties:
// - parse never fails, into a fresh rule or into one that holds values
//   already; the text that save writes afterwards is a fixed point;
// - a rule built from separator-free texts and any 32-bit numbers reads
//   back from what save writes into the same text (every field is written,
//   in its own place) and the same list.
#include "fuzz_support.h"
#include "record/repeat.h"

#include <string>
#include <vector>

namespace {

const std::string separators = "\xA7\xBF";

void parseArbitraryText(const std::string& text)
{
    Repeat fresh;
    fresh.parse(text);
    const std::string saved = fresh.save();
    Repeat again;
    again.parse(saved);
    FUZZ_CHECK(again.save() == saved);

    Repeat filled;
    int pattern[Repeat::dayPatternSize] = {1, 2, 3, 4, 5, 6, 7};
    filled.setDayPattern(pattern);
    filled.setExclusionDates({"20070105"});
    filled.parse(text);
    FUZZ_CHECK(filled.getExclusionDates().size() >= 1);
}

void roundTripBuiltRule(FuzzedDataProvider& input)
{
    Repeat rule;
    rule.setStartDate(fuzz::takeText(input, 20, separators));
    // long is 32 bits on Windows, where the rule lives.
    rule.setFrequency(input.ConsumeIntegral<std::int32_t>());
    rule.setEndDate(fuzz::takeText(input, 20, separators));
    rule.setNumDaysToRepeat(input.ConsumeIntegral<int>());
    rule.setRepeatType(input.ConsumeIntegral<int>());
    int pattern[Repeat::dayPatternSize];
    for (int& flag : pattern)
        flag = input.ConsumeIntegral<int>();
    rule.setDayPattern(pattern);
    rule.setDayOfWeek(input.ConsumeIntegral<int>());
    rule.setWeekOfMonth(input.ConsumeIntegral<int>());
    rule.setDayOfMonth(input.ConsumeIntegral<int>());
    rule.setMonth(input.ConsumeIntegral<int>());
    std::vector<std::string> exclusions(input.ConsumeIntegralInRange(0, 10));
    for (std::string& date : exclusions)
        date = fuzz::takeText(input, 12, separators);
    rule.setExclusionDates(exclusions);

    Repeat parsed;
    parsed.parse(rule.save());
    FUZZ_CHECK(parsed.save() == rule.save());
    FUZZ_CHECK(parsed.getExclusionDates() == exclusions && parsed.getMonth() == rule.getMonth());
}

}  // namespace

FUZZ_TARGET(parseArbitraryText, roundTripBuiltRule)
