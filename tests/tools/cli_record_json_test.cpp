// Records as brannock_cli shows them: a recurrence is decoded only when its text comes back the same, and input
// that cannot travel is refused with its place.

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

TEST(CliRecordJson, ARecurrenceIsDecodedOnlyWhenItsTextComesBackUnchanged) {
    const std::string weekly = "20261130\xA7" "2\xA7" "20270630\xA7" "1\xA7" "12\xA7" "0\xBF" "1\xBF" "0\xBF" "1\xBF"
                               "0\xBF" "0\xBF" "0\xBF\xA7" "0\xA7" "0\xA7" "0\xA7" "0\xA7" "20261228\xBF" "20270104\xBF\xA7";
    Record record;
    record.putField("304.Description", "Caf\xE9");  // ANSI é
    record.putField("Repeat", weekly);
    record.putField("RecordId", "{ID}");

    const Json decoded = recordToJson(record, RepeatForm::Decoded);
    EXPECT_EQ("RecordId", decoded.begin().key()) << "the identifier comes first";
    EXPECT_EQ("Caf\xC3\xA9", decoded["304.Description"]);
    EXPECT_EQ(Json::array({"20261228", "20270104"}), decoded["Repeat"]["exclusionDates"]);
    EXPECT_EQ(record.save(), recordFromJson(decoded, "test").save());
    EXPECT_EQ(record.save(), recordFromJson(recordToJson(record, RepeatForm::Raw), "test").save());

    // Bytes behind the last field would be lost by decoding: the text stays.
    record.putField("Repeat", weekly + "junk");
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
}

// The demo's transcript shows the tables and the recurrences described.
TEST(CliTable, CountsOneRecordInTheSingular) {
    EXPECT_THAT(recordTable(SectionMemo, Json::array({{{"400.Memo Title", "Shopping"}}})), HasSubstr("(1 record)"));
}

}  // namespace
