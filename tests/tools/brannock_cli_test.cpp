// brannock_cli against a running stand-in Palm Desktop. One host serves the
// whole suite, so the tests run in the order written; the last ones after it stopped.

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "cli_harness.h"

namespace {

using Json = nlohmann::ordered_json;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F01}";

/// The demo's data (12 contacts, 11 events, 9 to-dos), a two-line note in the first event, and no memo section, so
/// that an export of memos fails until an import adds a category.
std::string seedData() {
    Json data = Json::parse(readTextFile(BRANNOCK_DEMO_DATA));
    data["calendar"]["items"][0]["note"] = "Agenda\r\nfirst";
    data.erase("memos");
    return data.dump(2);
}

class BrannockCli : public HostSuite {
protected:
    static void SetUpTestSuite() { startHost(kClassId, seedData()); }
    static CliRun cli(const std::string& arguments) { return run("brannock_cli.exe", arguments); }
    /// The JSON standard output of a successful run.
    static Json cliJson(const std::string& arguments) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(0u, run.exitCode) << arguments << ": " << run.err;
        return run.exitCode == 0 ? Json::parse(run.out) : Json();
    }
    /// A brannock_cli argument naming a new file that holds `text`.
    static std::string file(const std::string& name, const std::string& text) {
        return "\"" + writeFile(name, text) + "\"";
    }
};

TEST_F(BrannockCli, FailuresEndWithTheirOwnCodeAndSendNothingForBadInput) {
    CliRun run = cli("export memo");
    EXPECT_EQ(1u, run.exitCode) << "an export of a section without categories fails in Palm Desktop";
    EXPECT_THAT(run.err, HasSubstr("Palm Desktop could not begin the export of memo"));

    for (const char* bad : {"export diary", "export contacts --bogus", "--timeout 5 export calendar --match 304.Description",
                            "export"}) {
        run = cli(bad);
        EXPECT_EQ(2u, run.exitCode) << bad;
    }
    EXPECT_THAT(run.err, HasSubstr("needs a section"));

    // The second record is broken: nothing may reach Palm Desktop, not even the first.
    run = cli("import todo " + file("bad.json", "[\n  {\"200.Description\": \"first\"},\n  {\"200.Description\" \"x\"}\n]"));
    EXPECT_EQ(5u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("bad.json: bad JSON at line 3, column 24"));
    run = cli("import todo " + file("cannot.json", "[{\"200.Description\": \"ok\"}, {\"206.Notes\": \"a\xC2\xBA" "b\"}]"));
    EXPECT_EQ(5u, run.exitCode) << "0xBA ends a record's value on the wire";
    EXPECT_THAT(run.err, HasSubstr("record 2, field \"206.Notes\""));
    EXPECT_EQ(9u, cliJson("export todo").size()) << "nothing was imported";
}

TEST_F(BrannockCli, RecordsOfEverySectionComeBackEqualAfterExportImportExport) {
    // The memo section gets its category from the first import.
    const Json stored = cliJson("import memo " + file("memo.json", "[{\"400.Memo Title\": \"Groceries\", \"401.Memo Body\": "
                                                                   "\"Milk\\r\\nCr\xC3\xA8me fra\xC3\xAE" "che\", \"402.Category\": \"Home\"}]"));
    ASSERT_EQ(1u, stored.size());

    for (const std::string section : {"contacts", "calendar", "todo", "memo"}) {
        const Json first = cliJson("export " + section);
        ASSERT_FALSE(first.empty()) << section;
        const Json ids = cliJson("import " + section + " " + file(section + ".json", first.dump()));
        ASSERT_EQ(first.size(), ids.size()) << section;
        for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(first[i]["RecordId"], ids[i]) << section;
        EXPECT_EQ(first, cliJson("export " + section)) << section;
    }

    EXPECT_EQ("Lef\xC3\xA8vre", cliJson("export contacts --match 111.Category=Business")[2]["128.Last Name"]);
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
    EXPECT_THAT(run.err, HasSubstr("export contacts: 12 of 12 records (100%)\r\n"));
    EXPECT_THAT(run.err, HasSubstr("export contacts: 6 of 12 records (50%)\r\n"));
    EXPECT_THAT(run.err, Not(HasSubstr("7 of 12"))) << "a line per tenth of the way";
    std::string lines = run.err;
    for (std::size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.erase(at, 1);
    EXPECT_EQ(std::string::npos, lines.find('\r')) << "no in-place redrawing away from a terminal";
    EXPECT_EQ(12u, Json::parse(run.out).size()) << "progress never mixes into the records";

    run = cli("export todo --progress");
    ASSERT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.err) << "ten records or fewer need no progress";
}

// The demo deletes one record by its id.
TEST_F(BrannockCli, DeletesAllAndAddsCategories) {
    EXPECT_EQ(0u, cli("delete todo {00000000-0000-0000-0000-000000000000}").exitCode) << "an unknown id is no error";

    const Json categories = Json::array({"Business", "Personal", "Errands", "Unfiled", "Caf\xC3\xA9", "Garden"});
    EXPECT_EQ(categories, cliJson("categories todo --write Caf\xE9 Garden"));
    EXPECT_EQ(categories, cliJson("categories todo"));
    CliRun run = cli("categories todo --write \"Price \xA3\"");
    EXPECT_EQ(5u, run.exitCode) << "0xA3 separates the names of a category list on the wire";

    EXPECT_EQ(0u, cli("delete-all todo").exitCode);
    EXPECT_EQ(Json::array(), cliJson("export todo"));
    EXPECT_EQ(11u, cliJson("export calendar").size()) << "delete-all touched only its own section";
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
TEST_F(BrannockCli, WithoutAnAnswerNoAnswerAndClosingEndWithTheirOwnCodes) {
    win::UniqueHandle initialized(::CreateEventA(nullptr, TRUE, TRUE, "Marrowvelle_Tesk_PDAddinInitializeEvent"));
    win::UniqueHandle exit(::CreateEventA(nullptr, TRUE, FALSE, "Marrowvelle_Tesk_PalmDesktopExitEvent"));
    const CliRun run = cli("--timeout 1 export contacts");
    EXPECT_EQ(7u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("did not answer"));

    const std::string folder = files->folder().path();
    ChildProcess waiting("\"" + folder + "brannock_cli.exe\" export contacts", folder + "closing.out", folder + "closing.err");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ::SetEvent(exit.get());
    EXPECT_EQ(4u, waiting.wait(30000));
    EXPECT_THAT(readTextFile(folder + "closing.err"), HasSubstr("Palm Desktop closed while it was asked to begin"));
}

}  // namespace
