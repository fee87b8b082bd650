// The parts of the tools: records as brannock_cli shows them (a recurrence decoded only when its text comes back
// the same, input that cannot travel refused with its place) and the stand-in's data file (every kind of field
// survives a save and a load, defaults are left out, a faulty file is refused with its place and changes nothing).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "standin/desktop_state.h"
#include "standin/standin_data_file.h"
#include "tools/cli_failure.h"
#include "tools/cli_record_json.h"
#include "tools/cli_table.h"

namespace {

using ::testing::HasSubstr;
using namespace cli;
using standin::DataFileError;
using standin::DesktopState;

/// The message of the `Error` that `action` throws (a bad-input Failure by default), or "accepted".
template <typename Error = Failure, typename Action>
std::string refusal(Action&& action) {
    try {
        action();
    } catch (const Error& error) {
        if constexpr (std::is_same_v<Error, Failure>) {
            EXPECT_EQ(ExitBadInput, error.code());
        }
        return error.what();
    }
    return "accepted";
}

TEST(CliRecordJson, ARecurrenceIsDecodedOnlyWhenItsTextComesBackUnchanged) {
    const std::string weekly = "20261130\xA7" "2\xA7" "20270630\xA7" "1\xA7" "12\xA7"
                               "0\xBF" "1\xBF" "0\xBF" "1\xBF" "0\xBF" "0\xBF" "0\xBF\xA7"
                               "0\xA7" "0\xA7" "0\xA7" "0\xA7" "20261228\xBF" "20270104\xBF\xA7";
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

TEST(StandinDataFile, EveryKindOfFieldSurvivesSaveAndLoad) {
    DesktopState state;
    state.contacts.addCategory(L"Gesch\u00E4ft");
    standin::ContactData contact;
    contact.category = L"Gesch\u00E4ft";
    contact.firstName = L"J\u00FCrgen \u4E2D";
    contact.phones[1] = {7, L"+49 170"};
    contact.addresses[2].city = L"K\u00F6ln";
    contact.custom[8] = L"nine";
    contact.birthday = 27166.0;                 // 1974-05-17
    contact.ims[1] = {3, L"jk"};
    contact.extended = false;
    state.contacts.add(contact);
    standin::EventData event;
    event.start = 46356.0 + 9.5 / 24;            // 2026-11-30 09:30
    event.end = 46356.0 + 1.0 / 3 + 1e-7;        // no text names it exactly
    event.repeat = {2, 1, 46418.0, 2};
    event.exceptions = {46384.0, 46391.0};
    event.note = L"line\r\nnext";
    state.calendar.add(event);
    standin::TodoData todo;
    todo.priority = 3;
    todo.repeat = {4, 7, 1, 0.0, 0};
    state.todos.add(todo);
    state.memos.addCategory(L"");
    state.memos.add(standin::MemoData{L"", L"Title\r\nbody", 1});

    const std::string json = standin::dataSetToJson(state);
    EXPECT_THAT(json, HasSubstr("\"birthday\": \"1974-05-17\""));
    EXPECT_THAT(json, HasSubstr("\"start\": \"2026-11-30 09:30\""));
    EXPECT_EQ(std::string::npos, json.find("\"jobTitle\"")) << "defaults are left out";

    DesktopState loaded;
    standin::dataSetFromJson(json, loaded);
    EXPECT_EQ(json, standin::dataSetToJson(loaded)) << "every field loads back";
    const auto& back = *loaded.contacts.items().at(0);
    EXPECT_EQ(7, back.phones[1].label);
    EXPECT_EQ(2, back.phones[2].label) << "slots left out keep their defaults";
    EXPECT_EQ(event.end, loaded.calendar.items().at(0)->end);
}

TEST(StandinDataFile, AFaultyFileIsRefusedWithItsPlaceAndChangesNothing) {
    DesktopState state;
    state.memos.addCategory(L"Kept");
    const auto load = [&state](const std::string& json) {
        return refusal<DataFileError>([&] { standin::dataSetFromJson(json, state); });
    };
    EXPECT_THAT(load("{\"contacts\": {\"items\": [{\"firstname\": \"x\"}]}}"),
                HasSubstr("contacts.items[0]: has no field \"firstname\""));
    EXPECT_THAT(load("{\"calendar\": {\"items\": [{\"start\": \"2026-02-30\"}]}}"),
                HasSubstr("calendar.items[0].start: must be a date"));
    EXPECT_THAT(load("{\"contacts\": {\"items\": [{\"phones\": [{}, {}, {}, {}, {}, {}, {}, {}, {}]}]}}"),
                HasSubstr("holds more than 8 entries"));
    EXPECT_THAT(load("{\"diary\": {}}"), HasSubstr("no section \"diary\""));
    EXPECT_THAT(load("{\"memos\": {\"items\": [}"), HasSubstr("line 1, column 22"));
    EXPECT_EQ(std::vector<std::wstring>{L"Kept"}, state.memos.categories());
    EXPECT_THROW(standin::loadDataFile("Z:\\no\\such\\file.json", state), DataFileError);
}

}  // namespace
