// The stand-in's data file: every kind of field survives a save and a load,
// defaults are left out, and a faulty file is refused with the place of the
// fault while the desktop keeps its data.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "standin/desktop_state.h"
#include "standin/standin_data_file.h"

namespace {

using ::testing::HasSubstr;
using standin::DataFileError;
using standin::DesktopState;

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
    auto refusal = [&state](const std::string& json) {
        try {
            standin::dataSetFromJson(json, state);
        } catch (const DataFileError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_THAT(refusal("{\"contacts\": {\"items\": [{\"firstname\": \"x\"}]}}"),
                HasSubstr("contacts.items[0]: has no field \"firstname\""));
    EXPECT_THAT(refusal("{\"calendar\": {\"items\": [{\"start\": \"2026-02-30\"}]}}"),
                HasSubstr("calendar.items[0].start: must be a date"));
    EXPECT_THAT(refusal("{\"contacts\": {\"items\": [{\"phones\": [{}, {}, {}, {}, {}, {}, {}, {}, {}]}]}}"),
                HasSubstr("holds more than 8 entries"));
    EXPECT_THAT(refusal("{\"diary\": {}}"), HasSubstr("no section \"diary\""));
    EXPECT_THAT(refusal("{\"memos\": {\"items\": [}"), HasSubstr("line 1, column 22"));
    EXPECT_EQ(std::vector<std::wstring>{L"Kept"}, state.memos.categories());
    EXPECT_THROW(standin::loadDataFile("Z:\\no\\such\\file.json", state), DataFileError);
}

}  // namespace
