// Records as brannock_cli shows them: the decoded recurrence comes back to the
// same text, a text that would not is kept as it is, and input that cannot
// travel is refused with its place.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tools/cli_failure.h"
#include "tools/cli_record_json.h"
#include "tools/cli_table.h"

namespace {

using ::testing::HasSubstr;
using namespace cli;

/// The message of the bad-input Failure that `action` throws.
template <typename Action>
std::string refusal(Action&& action) {
    try {
        action();
    } catch (const Failure& failure) {
        EXPECT_EQ(ExitBadInput, failure.code());
        return failure.what();
    }
    return "accepted";
}

Repeat weeklyRepeat() {
    Repeat repeat;
    repeat.setStartDate("20261130");
    repeat.setFrequency(2);
    repeat.setEndDate("20270630");
    repeat.setNumDaysToRepeat(1);
    repeat.setRepeatType(12);
    int days[Repeat::dayPatternSize] = {0, 1, 0, 1, 0, 0, 0};
    repeat.setDayPattern(days);
    repeat.setExclusionDates({"20261228", "20270104"});
    return repeat;
}

TEST(CliRecordJson, ARecurrenceIsDecodedOnlyWhenItsTextComesBackUnchanged) {
    Record record;
    record.putField("304.Description", "Caf\xE9");  // ANSI é
    record.putField("Repeat", weeklyRepeat().save());
    record.putField("RecordId", "{ID}");

    const Json decoded = recordToJson(record, RepeatForm::Decoded);
    EXPECT_EQ("RecordId", decoded.begin().key()) << "the identifier comes first";
    EXPECT_EQ("Caf\xC3\xA9", decoded["304.Description"]);
    EXPECT_EQ(Json::array({"20261228", "20270104"}), decoded["Repeat"]["exclusionDates"]);
    EXPECT_EQ(record.save(), recordFromJson(decoded, "test").save());
    EXPECT_EQ(record.save(), recordFromJson(recordToJson(record, RepeatForm::Raw), "test").save());

    // Bytes behind the last field would be lost by decoding: the text stays.
    record.putField("Repeat", weeklyRepeat().save() + "junk");
    EXPECT_TRUE(recordToJson(record, RepeatForm::Decoded)["Repeat"].is_string());
    EXPECT_EQ("{}", recordToJson(Record(), RepeatForm::Decoded).dump());

    Json partial = {{"Repeat", {{"repeatType", 1}, {"frequency", 3}}}};
    Repeat daily;
    daily.parse(recordFromJson(partial, "test").getField("Repeat"));
    EXPECT_EQ(1, daily.getRepeatType());
    EXPECT_EQ(3, daily.getFrequency());
    EXPECT_EQ("", daily.getStartDate()) << "members left out take their default";
}

TEST(CliRecordJson, InputThatCannotTravelIsRefusedWithItsPlace) {
    EXPECT_THAT(refusal([] { recordFromJson(Json{{"109.Notes", 5}}, "in.json, record 1"); }),
                HasSubstr("in.json, record 1, field \"109.Notes\": must be a text"));
    EXPECT_THAT(refusal([] { recordFromJson(Json{{"k\xC2\xB5" "ey", "v"}}, "r"); }), HasSubstr("cannot travel"));
    EXPECT_THAT(refusal([] { recordFromJson(Json{{"k", std::string("a\0b", 3)}}, "r"); }), HasSubstr("NUL"));
    EXPECT_THAT(refusal([] { recordFromJson(Json{{"Repeat", {{"dayPattern", {1, 0}}}}}, "r"); }),
                HasSubstr("list of 7 numbers"));
    EXPECT_THAT(refusal([] { recordFromJson(Json{{"Repeat", {{"every", 2}}}}, "r"); }), HasSubstr("no such member"));
    EXPECT_THAT(refusal([] { recordFromJson(Json{{"Repeat", {{"frequency", 4294967296LL}}}}, "r"); }),
                HasSubstr("out of range"));
    EXPECT_THAT(refusal([] { utf8ToAnsi("\xE4\xB8\xAD", "name"); }), HasSubstr("ANSI code page"));
    EXPECT_THAT(refusal([] { recordsFromJson(Json::object(), "in.json"); }), HasSubstr("JSON array"));
    EXPECT_THAT(refusal([] { parseJson("[\n {\"a\": tru}\n]", "in.json"); }), HasSubstr("in.json: bad JSON at line 2, column"));
}

TEST(CliTable, DescribesRecurrencesAndShowsOneLinePerRecord) {
    EXPECT_EQ("every 2 weeks Mon Wed until 2027-06-30, 2 skipped", describeRepeat(weeklyRepeat()));
    Repeat monthly;
    monthly.setRepeatType(4);
    monthly.setFrequency(1);
    monthly.setDayOfWeek(5);
    monthly.setWeekOfMonth(2);
    monthly.setEndDate("-1");
    EXPECT_EQ("monthly, 2nd Thu", describeRepeat(monthly));

    const Json memos = {{{"400.Memo Title", "Shopping"}, {"402.Category", "Home"}, {"401.Memo Body", "milk\r\neggs"}}};
    const std::string table = recordTable(SectionMemo, memos);
    EXPECT_THAT(table, HasSubstr("Shopping"));
    EXPECT_THAT(table, HasSubstr("milk / eggs"));
    EXPECT_THAT(table, HasSubstr("(1 record)"));
}

}  // namespace
