// brannock_cli against a running stand-in Palm Desktop. One host serves the
// whole suite, so the tests run in the order written.

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "cli_harness.h"

namespace {

using Json = nlohmann::ordered_json;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F01}";

/// The stand-in's data: one rich item in each of contacts, calendar and
/// to-dos, many plain contacts for the progress line, and no memo category,
/// so that an export of memos fails until an import adds one.
std::string seedData() {
    Json contacts = Json::array({{{"category", "Business"}, {"firstName", "J\xC3\xBCrgen Karl"}, {"lastName", "M\xC3\xBCller"},
                                  {"company", "Caf\xC3\xA9 Zentral"}, {"note", "Line one\r\nLine two"},
                                  {"phones", {{{"label", 0}, {"text", "+49 30 1234"}}, {{"label", 4}, {"text", "j@example.com"}}}},
                                  {"addresses", {{{"street", "Hauptstra\xC3\x9F" "e 1"}, {"city", "Berlin"}}}},
                                  {"birthday", "1970-05-17"}}});
    for (int i = 1; i <= 24; ++i)
        contacts.push_back({{"category", "Many"}, {"firstName", "Sample"}, {"lastName", "Person " + std::to_string(i)}});
    const Json meeting = {{"start", "2026-11-30 09:00"}, {"end", "2026-11-30 09:45"}, {"description", "Team meeting"},
                          {"location", "Room 4"}, {"category", "Business"}, {"note", "Agenda\r\nfirst"}, {"alarmFlag", 1},
                          {"alarmLeadCount", 10}, {"repeating", 1}, {"repeat", {{"kind", 2}, {"interval", 1}, {"mask", 2}}},
                          {"exceptions", {"2026-12-28"}}};
    const Json rent = {{"category", "Home"}, {"description", "Pay rent"}, {"priority", 3}, {"dueDate", "2026-12-20"},
                       {"repeating", 1}, {"repeat", {{"kind", 4}, {"interval", 1}}}, {"alarmFlag", 1},
                       {"alarmMoment", "2026-12-19 08:30"}, {"alarmDaysBefore", 1}};
    const Json christmas = {{"start", "2026-12-25"}, {"end", "2026-12-25"}, {"untimed", 1}, {"description", "Christmas"}};
    return Json({{"contacts", {{"categories", {"Business", "Many"}}, {"items", contacts}}},
                 {"calendar", {{"categories", {"Business"}}, {"items", {meeting, christmas}}}},
                 {"todos", {{"categories", {"Home"}}, {"items", {rent}}}}})
        .dump(2);
}

class BrannockCli : public HostSuite {
protected:
    static void SetUpTestSuite() { startHost(kClassId, seedData()); }
    static CliRun cli(const std::string& arguments) { return setup->cli(arguments); }
    /// The JSON standard output of a successful run.
    static Json cliJson(const std::string& arguments) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(0u, run.exitCode) << arguments << ": " << run.err;
        return run.exitCode == 0 ? Json::parse(run.out) : Json();
    }
    /// A brannock_cli argument naming a new file that holds `text`.
    static std::string file(const std::string& name, const std::string& text) {
        return "\"" + setup->writeFile(name, text) + "\"";
    }
};

TEST_F(BrannockCli, FailuresEndWithTheirOwnCodeAndSendNothingForBadInput) {
    CliRun run = cli("export memo");
    EXPECT_EQ(1u, run.exitCode) << "an export of a section without categories fails in Palm Desktop";
    EXPECT_THAT(run.err, HasSubstr("Palm Desktop could not begin the export of memo"));

    run = cli("export");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("needs a section"));
    EXPECT_EQ(2u, cli("export diary").exitCode);
    EXPECT_EQ(2u, cli("export contacts --bogus").exitCode);

    // The second record is broken: nothing may reach Palm Desktop, not even the first.
    run = cli("import todo " + file("bad.json", "[\n  {\"200.Description\": \"first\"},\n  {\"200.Description\" \"x\"}\n]"));
    EXPECT_EQ(5u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("line 3, column 24"));
    run = cli("import todo " + file("cannot.json", "[{\"200.Description\": \"ok\"}, {\"206.Notes\": \"a\xC2\xBA" "b\"}]"));
    EXPECT_EQ(5u, run.exitCode) << "0xBA ends a record's value on the wire";
    EXPECT_THAT(run.err, HasSubstr("record 2, field \"206.Notes\""));
    EXPECT_EQ(1u, cliJson("export todo").size()) << "nothing was imported";

    run = cli("--timeout 5 export calendar --match 304.Description");
    EXPECT_EQ(2u, run.exitCode);
}

TEST_F(BrannockCli, RecordsOfEverySectionComeBackEqualAfterExportImportExport) {
    // The memo section gets its category from the first import.
    const Json stored = cliJson("import memo " + file("memo.json", "[{\"400.Memo Title\": \"Groceries\", \"401.Memo Body\": "
                                                                   "\"Milk\\r\\nCr\xC3\xA8me fra\xC3\xAE" "che\", \"402.Category\": \"Home\"}]"));
    ASSERT_EQ(1u, stored.size());

    for (const std::string section : {"contacts", "calendar", "todo", "memo"}) {
        const std::string filter = section == "contacts" ? " --match 111.Category=Business" : "";
        const Json first = cliJson("export " + section + filter);
        ASSERT_FALSE(first.empty()) << section;
        const Json ids = cliJson("import " + section + " " + file(section + ".json", first.dump()));
        ASSERT_EQ(first.size(), ids.size()) << section;
        for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(first[i]["RecordId"], ids[i]) << section;
        EXPECT_EQ(first, cliJson("export " + section + filter)) << section;
    }

    EXPECT_EQ("M\xC3\xBCller", cliJson("export contacts --match 111.Category=Business")[0]["128.Last Name"]);
    const Json memo = cliJson("export memo")[0];
    EXPECT_EQ(stored[0], memo["RecordId"]);
    EXPECT_EQ("Milk\r\nCr\xC3\xA8me fra\xC3\xAE" "che", memo["401.Memo Body"]);

    // The recurrence travels decoded, and in its raw text form with --raw.
    const Json event = cliJson("export calendar --match \"304.Description=Team meeting\"")[0];
    ASSERT_TRUE(event["Repeat"].is_object());
    EXPECT_EQ(12, event["Repeat"]["repeatType"]);
    EXPECT_EQ(Json::array({0, 1, 0, 0, 0, 0, 0}), event["Repeat"]["dayPattern"]);
    EXPECT_EQ(Json::array({"20261228"}), event["Repeat"]["exclusionDates"]);
    const Json raw = cliJson("--raw export calendar");
    ASSERT_TRUE(raw[0]["Repeat"].is_string());
    EXPECT_THAT(raw[0]["Repeat"].get<std::string>(), HasSubstr("20261228"));
    cliJson("import calendar " + file("raw.json", raw.dump()));
    EXPECT_EQ(raw, cliJson("export calendar --raw"));
    EXPECT_EQ(event, cliJson("export calendar --match \"304.Description=Team meeting\"")[0]);
}

TEST_F(BrannockCli, ProgressShowsAwayFromATerminalOnlyWhenAskedAndOnlyForMoreThanAFewRecords) {
    CliRun run = cli("export contacts");
    ASSERT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.err);

    run = cli("export contacts --progress");
    ASSERT_EQ(0u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("export contacts: 25 of 25 records (100%)\r\n"));
    EXPECT_THAT(run.err, HasSubstr("export contacts: 13 of 25 records (52%)\r\n"));
    EXPECT_THAT(run.err, Not(HasSubstr("14 of 25"))) << "a line per tenth of the way";
    std::string lines = run.err;
    for (std::size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.erase(at, 1);
    EXPECT_EQ(std::string::npos, lines.find('\r')) << "no in-place redrawing away from a terminal";
    EXPECT_EQ(25u, Json::parse(run.out).size()) << "progress never mixes into the records";

    run = cli("export todo --progress");
    ASSERT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.err) << "one record needs no progress";
}

TEST_F(BrannockCli, DeletesOneRecordOrAllAndAddsCategories) {
    const Json created =
        cliJson("import todo " + file("new.json", "[{\"200.Description\": \"Temporary\", \"205.Category\": \"Home\"}]"));
    ASSERT_EQ(2u, cliJson("export todo").size());
    EXPECT_EQ(0u, cli("delete todo " + created[0].get<std::string>()).exitCode);
    EXPECT_EQ(1u, cliJson("export todo").size());
    EXPECT_EQ(0u, cli("delete todo {00000000-0000-0000-0000-000000000000}").exitCode) << "an unknown id is no error";

    EXPECT_EQ(Json::array({"Home", "Caf\xC3\xA9", "Garden"}), cliJson("categories todo --write Caf\xE9 Garden"));
    EXPECT_EQ(Json::array({"Home", "Caf\xC3\xA9", "Garden"}), cliJson("categories todo"));
    CliRun run = cli("categories todo --write \"Price \xA3\"");
    EXPECT_EQ(5u, run.exitCode) << "0xA3 separates the names of a category list on the wire";

    EXPECT_EQ(0u, cli("delete-all todo").exitCode);
    EXPECT_EQ(Json::array(), cliJson("export todo"));
    EXPECT_EQ(2u, cliJson("export calendar").size()) << "delete-all touched only its own section";
}

TEST_F(BrannockCli, TheHostWritesItsDataBackWhenItStops) {
    EXPECT_EQ(0u, stopHost());
    const Json saved = Json::parse(readTextFile(dataFile));
    EXPECT_EQ(Json::array({"Home"}), saved["memos"]["categories"]);
    ASSERT_EQ(1u, saved["memos"]["items"].size());
    EXPECT_THAT(saved["memos"]["items"][0]["text"].get<std::string>(), HasSubstr("Groceries\r\nMarrowvelle Record Id = {"));
    EXPECT_TRUE(saved["todos"]["items"].empty());

    const CliRun run = cli("export contacts");
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("Palm Desktop is not running"));
}

// The add-in's initialize event without a slave: a command waits until the
// time limit, or until the exit event says that Palm Desktop closed.
TEST(BrannockCliWithoutAnAnswer, NoAnswerAndClosingEndWithTheirOwnCodes) {
    CliSetup setup(kClassId, false);
    win::UniqueHandle initialized(::CreateEventA(nullptr, TRUE, TRUE, "Marrowvelle_Tesk_PDAddinInitializeEvent"));
    win::UniqueHandle exit(::CreateEventA(nullptr, TRUE, FALSE, "Marrowvelle_Tesk_PalmDesktopExitEvent"));

    CliRun run = setup.cli("--timeout 1 export contacts");
    EXPECT_EQ(7u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("did not answer"));

    const std::string folder = setup.files().folder().path();
    ChildProcess waiting("\"" + folder + "brannock_cli.exe\" export contacts", folder + "closing.out", folder + "closing.err");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ::SetEvent(exit.get());
    EXPECT_EQ(4u, waiting.wait(30000));
    EXPECT_THAT(readTextFile(folder + "closing.err"), HasSubstr("Palm Desktop closed while it was asked to begin"));
}

}  // namespace
