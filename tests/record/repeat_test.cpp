#include "record/repeat.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

std::vector<int> patternOf(const Repeat& repeat) {
    std::vector<int> pattern(7);
    repeat.getDayPattern(pattern.data());
    return pattern;
}

TEST(RepeatTest, SavesDefaultAndExampleByteForByte) {
    EXPECT_EQ(Repeat().save(),
              "\xA7" "0\xA7\xA7" "0\xA7" "0\xA7"
              "0\xBF" "0\xBF" "0\xBF" "0\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
              "0\xA7" "0\xA7" "0\xA7" "0\xA7\xA7");

    Repeat everyOtherWeek;
    everyOtherWeek.setStartDate("20070105");
    everyOtherWeek.setFrequency(2);
    everyOtherWeek.setEndDate("-1");
    everyOtherWeek.setNumDaysToRepeat(1);
    everyOtherWeek.setRepeatType(12);
    int mondayWednesday[7] = {0, 1, 0, 1, 0, 0, 0};
    everyOtherWeek.setDayPattern(mondayWednesday);
    EXPECT_EQ(everyOtherWeek.save(),
              "20070105\xA7" "2\xA7" "-1\xA7" "1\xA7" "12\xA7"
              "0\xBF" "1\xBF" "0\xBF" "1\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
              "0\xA7" "0\xA7" "0\xA7" "0\xA7\xA7");

    Repeat excluded;
    excluded.setExclusionDates({"20070112", ""});
    const std::string text = excluded.save();
    EXPECT_EQ(text.substr(text.size() - 13), "0\xA7" "20070112\xBF\xBF\xA7");
}

// Every field's round trip is a property of the repeat fuzz target.
TEST(RepeatTest, ParseAppendsExclusionDatesAndKeepsFieldsOnEmptyText) {
    Repeat original;
    original.setFrequency(INT_MIN);
    original.setExclusionDates({"20080307", "20080314"});
    Repeat copy;
    copy.parse(original.save());
    EXPECT_EQ(copy.getFrequency(), INT_MIN);
    copy.parse(original.save());
    EXPECT_EQ(copy.getExclusionDates(),
              (std::vector<std::string>{"20080307", "20080314", "20080307", "20080314"}));
    copy.parse("");
    EXPECT_EQ(copy.getExclusionDates().size(), 4u);
    EXPECT_EQ(copy.getFrequency(), INT_MIN);
}

TEST(RepeatTest, ParseIsLenientAboutListsAndNumbers) {
    Repeat repeat;
    int ones[7] = {9, 9, 9, 9, 9, 9, 9};
    repeat.setDayPattern(ones);
    repeat.parse("d\xA7" "7x\xA7" "e\xA7" "abc\xA7" " -3\xA7"
                 "1\xBF" "0\xBF" "1\xA7"                  // last item unterminated
                 "1\xA7" "2\xA7" "3\xA7" "4\xA7"
                 "\xBF\xBF\xA7");
    EXPECT_EQ(repeat.getFrequency(), 7);
    EXPECT_EQ(repeat.getNumDaysToRepeat(), 0);
    EXPECT_EQ(repeat.getRepeatType(), -3);
    EXPECT_EQ(patternOf(repeat), (std::vector<int>{1, 0, 9, 9, 9, 9, 9}));
    EXPECT_EQ(repeat.getExclusionDates(), (std::vector<std::string>{"", ""}));

    Repeat overlong;
    overlong.parse("\xA7" "0\xA7\xA7" "0\xA7" "0\xA7"
                   "1\xBF" "2\xBF" "3\xBF" "4\xBF" "5\xBF" "6\xBF" "7\xBF" "8\xBF\xA7"
                   "0\xA7" "0\xA7" "0\xA7" "0\xA7" "20070105\xA7");
    EXPECT_EQ(patternOf(overlong), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(overlong.getExclusionDates().empty()) << "unterminated date is dropped";

    Repeat truncated;
    truncated.setMonth(6);
    truncated.parse("20070105\xA7" "3");
    EXPECT_EQ(truncated.getStartDate(), "20070105");
    EXPECT_EQ(truncated.getFrequency(), 3);
    EXPECT_EQ(truncated.getMonth(), 0) << "missing fields read as empty";
}

}  // namespace
