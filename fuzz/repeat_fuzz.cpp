// A rule parsed from any bytes (fresh or filled) saves a fixed point; one built from separator-free texts and any
// 32-bit numbers reads back from its text into the same text and the same exclusion list.
#include <vector>

#include "fuzz_support.h"
#include "record/repeat.h"

namespace {

const std::string separators = fuzz::repeatEnd + fuzz::itemEnd;

void parseArbitraryText(const std::string& text) {
    Repeat fresh, again, filled;
    fresh.parse(text);
    const std::string saved = fresh.save();
    again.parse(saved);
    FUZZ_CHECK(again.save() == saved);

    int pattern[Repeat::dayPatternSize] = {1, 2, 3, 4, 5, 6, 7};
    filled.setDayPattern(pattern);
    filled.setExclusionDates({"20070105"});
    filled.parse(text);
    FUZZ_CHECK(filled.getExclusionDates().size() >= 1);
}

void roundTripBuiltRule(FuzzedDataProvider& input) {
    Repeat rule;
    rule.setStartDate(fuzz::takeText(input, 20, separators));
    rule.setFrequency(input.ConsumeIntegral<std::int32_t>());  // long is 32 bits on Windows
    rule.setEndDate(fuzz::takeText(input, 20, separators));
    rule.setNumDaysToRepeat(input.ConsumeIntegral<int>());
    rule.setRepeatType(input.ConsumeIntegral<int>());
    int pattern[Repeat::dayPatternSize];
    for (int& flag : pattern) flag = input.ConsumeIntegral<int>();
    rule.setDayPattern(pattern);
    rule.setDayOfWeek(input.ConsumeIntegral<int>());
    rule.setWeekOfMonth(input.ConsumeIntegral<int>());
    rule.setDayOfMonth(input.ConsumeIntegral<int>());
    rule.setMonth(input.ConsumeIntegral<int>());
    std::vector<std::string> exclusions(input.ConsumeIntegralInRange(0, 10));
    for (std::string& date : exclusions) date = fuzz::takeText(input, 12, separators);
    rule.setExclusionDates(exclusions);

    Repeat parsed;
    parsed.parse(rule.save());
    FUZZ_CHECK(parsed.save() == rule.save());
    FUZZ_CHECK(parsed.getExclusionDates() == exclusions && parsed.getMonth() == rule.getMonth());
}

}  // namespace

FUZZ_TARGET(parseArbitraryText, roundTripBuiltRule)
