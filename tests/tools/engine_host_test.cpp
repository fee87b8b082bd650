// Engines against one running stand-in Palm Desktop: brannock_cli, the README's C example and this process as an
// engine without the header. The tests run in the order written, once with the timer hand-over and once with the
// prompt one, each with a host of its own; the last ones kill the host, then stand in for an add-in that never
// answers.

#include <windows.h>
#include <gmock/gmock.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "capi/brannock.h"
#include "dll_copy.h"
#include "win/unique_handle.h"

namespace {

using Json = nlohmann::ordered_json;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F01}";
constexpr char kPauseEvent[] = "Brannock_HostTest_Pause";

/// What one run of a program left behind: its exit code (-1 when it did not end), standard output and error.
struct ProgramRun {
    DWORD exitCode;
    std::string out, err;
};

/// A started process with its standard output and error in the files `stem`.out and `stem`.err; killed when it
/// still runs at the end.
class ChildProcess {
public:
    ChildProcess(const std::string& commandLine, const std::string& stem) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        const auto open = [&](const std::string& path, DWORD access, DWORD disposition) {
            return win::UniqueHandle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                   disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        };
        const win::UniqueHandle in = open("NUL", GENERIC_READ, OPEN_EXISTING);
        const win::UniqueHandle out = open(stem + ".out", GENERIC_WRITE, CREATE_ALWAYS);
        const win::UniqueHandle err = open(stem + ".err", GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        process_ = startTiedProcess(commandLine, startup, true);
    }
    ~ChildProcess() {
        if (wait(0) == static_cast<DWORD>(-1)) kill();
    }
    /// The exit code, or -1 when it has not ended after `timeoutMs`.
    DWORD wait(DWORD timeoutMs) {
        DWORD code = static_cast<DWORD>(-1);
        if (process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    /// Ends the process at once.
    void kill() { ::TerminateProcess(process_.get(), 9); }

private:
    win::UniqueHandle process_;
};

/// The host's copy of Brannock.dll as a .NET or Python engine sees it: each function found by its plain name and
/// declared by hand from the arguments it is given (int result, stdcall on 32-bit Windows, handles as void*).
struct CopiedDll {
    explicit CopiedDll(const std::string& path) : dll(::LoadLibraryA(path.c_str())) {}
    ~CopiedDll() { ::FreeLibrary(dll); }
    /// The result of the exported function `name`, or -1000 when there is none.
    template <typename... Args>
    int call(const char* name, Args... args) const {
        const auto function = procedure<int(WINAPI*)(Args...)>(dll, name);
        return function ? function(args...) : -1000;
    }
    HMODULE dll;
};

/// The result of `call` and how long it took, in milliseconds.
template <typename Call>
std::pair<int, long long> timed(Call call) {
    const auto start = std::chrono::steady_clock::now();
    const int result = call();
    return {result, (std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1)};
}

/// The demo's data (12 contacts, 11 events, 9 to-dos), a two-line note in the first event, and no memo section, so
/// that an export of memos fails until an import adds a category.
std::string seedData() {
    Json data = Json::parse(readTextFile(BRANNOCK_DEMO_DATA));
    data["calendar"]["items"][0]["note"] = "Agenda\r\nfirst";
    data.erase("memos");
    return data.dump(2);
}

/// One stand-in host for the suite, beside a registered copy of Brannock.dll and the programs; the parameter is
/// what its "conn_install.cfg" adds to the class identifier: the hand-over's setting. The host is started by the
/// first test of a hand-over.
class EngineHost : public ::testing::TestWithParam<const char*> {
protected:
    static void startHost(const char* handOver) {
        TearDownTestSuite();
        files = std::make_unique<DllCopy>(kClassId, handOver);
        for (const char* name : {"brannock_cli.exe", "standin_host.exe", "capi_example.exe", "msvc_engine.exe"})
            files->addFile(name);
        registered = runRegsvr32(files->dllPath()) == 0;
        pause = win::UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, kPauseEvent));
        host = std::make_unique<ChildProcess>(
            "\"" + files->folder().file("standin_host.exe") + "\" --clsid " + kClassId + " --data " +
                file("palm_desktop.json", seedData()) + " --stop-event Brannock_HostTest_Stop --pause-event " +
                kPauseEvent,
            files->folder().file("host"));
        for (int waited = 0; waited < 30000 && !started; waited += 50) {
            started =
                bool(win::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, "Marrowvelle_Tesk_PDAddinInitializeEvent")));
            if (!started && host->wait(50) != static_cast<DWORD>(-1)) break;
        }
        c = std::make_unique<CopiedDll>(files->dllPath());
        hostHandOver = handOver;
    }
    static void TearDownTestSuite() {
        c.reset();
        host.reset();
        pause.reset();  // the host may have been killed while it stood still
        if (registered) runRegsvr32(files->dllPath(), true);
        files.reset();
        registered = started = false;
        hostHandOver = nullptr;
    }
    void SetUp() override {
        if (hostHandOver != GetParam()) startHost(GetParam());
        ASSERT_TRUE(registered && started) << "the stand-in host did not start";
    }

    /// Runs the folder's program `name` with `arguments` (ANSI).
    static ProgramRun run(const std::string& name, const std::string& arguments) {
        static int runs = 0;
        const std::string stem = files->folder().file("run" + std::to_string(++runs));
        const DWORD exitCode = ChildProcess("\"" + files->folder().file(name) + "\" " + arguments, stem).wait(90000);
        return {exitCode, readTextFile(stem + ".out"), readTextFile(stem + ".err")};
    }
    static ProgramRun cli(const std::string& arguments) { return run("brannock_cli.exe", arguments); }
    /// The JSON standard output of a successful run, which writes nothing else.
    static Json cliJson(const std::string& arguments) {
        const ProgramRun run = cli(arguments);
        EXPECT_EQ(0u, run.exitCode) << arguments << ": " << run.err;
        EXPECT_EQ("", run.err) << arguments;
        return run.exitCode == 0 ? Json::parse(run.out) : Json();
    }
    /// A brannock_cli argument naming a new file that holds `text`.
    static std::string file(const std::string& name, const std::string& text) {
        writeTextFile(files->folder().file(name), text);
        return "\"" + files->folder().file(name) + "\"";
    }

    static inline std::unique_ptr<DllCopy> files;
    static inline std::unique_ptr<ChildProcess> host;
    static inline std::unique_ptr<CopiedDll> c;
    static inline win::UniqueHandle pause;
    static inline bool registered = false, started = false;
    static inline const char* hostHandOver = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Timer, EngineHost, ::testing::Values(""));
INSTANTIATE_TEST_SUITE_P(Prompt, EngineHost, ::testing::Values("[Brannock]\r\nHandOver=prompt\r\n"));

TEST_P(EngineHost, FailuresEndWithTheirOwnCodeAndSendNothingForBadInput) {
    ProgramRun run = cli("export memo");
    EXPECT_EQ(1u, run.exitCode) << "an export of a section without categories fails in Palm Desktop";
    EXPECT_THAT(run.err, HasSubstr("Palm Desktop could not begin the export of memo"));

    for (const char* bad :
         {"export diary", "export contacts --bogus", "--timeout 5 export calendar --match 304.Description", "export"}) {
        run = cli(bad);
        EXPECT_EQ(2u, run.exitCode) << bad;
    }
    EXPECT_THAT(run.err, HasSubstr("needs a section"));

    // The second record is broken: nothing may reach Palm Desktop, not even the first.
    run = cli("import todo " +
              file("bad.json", "[\n  {\"200.Description\": \"first\"},\n  {\"200.Description\" \"x\"}\n]"));
    EXPECT_EQ(5u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("bad.json: bad JSON at line 3, column 24"));
    run = cli("import todo " + file("cannot.json", "[{\"200.Description\": \"ok\"}, {\"206.Notes\": \"a\xC2\xBAz\"}]"));
    EXPECT_EQ(5u, run.exitCode) << "0xBA ends a record's value on the wire";
    EXPECT_THAT(run.err, HasSubstr("record 2, field \"206.Notes\""));
    EXPECT_EQ(9u, cliJson("export todo").size()) << "nothing was imported";
}

TEST_P(EngineHost, RecordsOfEverySectionComeBackEqualAfterExportImportExport) {
    // The memo section gets its category from the first import.
    const std::string input = "[{\"400.Memo Title\": \"Groceries\", \"402.Category\": \"Home\", "
                             "\"401.Memo Body\": \"Milk\\r\\nCr\xC3\xA8me fra\xC3\xAE" "che\"}]";
    const Json stored = cliJson("import memo " + file("memo.json", input));
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

TEST_P(EngineHost, CExampleExportsAndImportsBackEverySection) {
    const ProgramRun result = run("capi_example.exe", "");
    EXPECT_EQ(0u, result.exitCode);
    for (const char* line : {"contacts: 12 of 12 imported back", "calendar: 11 of 11 imported back",
                             "to-dos: 9 of 9 imported back", "memos: 1 of 1 imported back",
                             "contacts categories: Business Personal QuickList Unfiled", "(repeats, type"})
        EXPECT_THAT(result.out, HasSubstr(line));
}

TEST_P(EngineHost, EngineBuiltWithMicrosoftsToolchainExportsTheContacts) {
    EXPECT_EQ(12u, run("msvc_engine.exe", "").exitCode) << "its exit code is the number of contacts, 255 on a failure";
}

TEST_P(EngineHost, ProgressShowsAwayFromATerminalOnlyWhenAskedAndOnlyForMoreThanAFewRecords) {
    // Without --progress, cliJson's runs write nothing on standard error.
    const ProgramRun run = cli("export contacts --progress");
    ASSERT_EQ(0u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("export contacts: 12 of 12 records (100%)\r\n"));
    EXPECT_THAT(run.err, HasSubstr("export contacts: 6 of 12 records (50%)\r\n"));
    EXPECT_THAT(run.err, Not(HasSubstr("7 of 12"))) << "a line per tenth of the way";
    std::string lines = run.err;
    for (std::size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.erase(at, 1);
    EXPECT_EQ(std::string::npos, lines.find('\r')) << "no in-place redrawing away from a terminal";
    EXPECT_EQ(12u, Json::parse(run.out).size()) << "progress never mixes into the records";

    EXPECT_EQ(9u, cliJson("export todo --progress").size()) << "ten records or fewer need no progress";
}

// The demo deletes one record by its id.
TEST_P(EngineHost, DeletesAllAndAddsCategories) {
    EXPECT_EQ(0u, cli("delete todo {00000000-0000-0000-0000-000000000000}").exitCode) << "an unknown id is no error";

    const Json categories = Json::array({"Business", "Personal", "Errands", "Unfiled", "Caf\xC3\xA9", "Garden"});
    EXPECT_EQ(categories, cliJson("categories todo --write Caf\xE9 Garden"));
    EXPECT_EQ(categories, cliJson("categories todo"));
    ProgramRun run = cli("categories todo --write \"Price \xA3\"");
    EXPECT_EQ(5u, run.exitCode) << "0xA3 separates the names of a category list on the wire";

    EXPECT_EQ(0u, cli("delete-all todo").exitCode);
    EXPECT_EQ(Json::array(), cliJson("export todo"));
    EXPECT_EQ(11u, cliJson("export calendar").size()) << "delete-all touched only its own section";
}

// An engine whose watchdog fired leaves its command to Palm Desktop. The next engine process waits for that late
// answer and drops it: it prints its own section's categories, not the calendar's.
TEST_P(EngineHost, TheNextEngineNeverTakesTheLateAnswerOfOneThatGaveUp) {
    const Json contacts = cliJson("categories contacts");
    ASSERT_EQ(Json::array({"Business", "Personal", "QuickList", "Unfiled"}), contacts);
    ::SetEvent(pause.get());
    EXPECT_EQ(7u, cli("--timeout 1 categories calendar").exitCode);
    const std::string stem = files->folder().file("next");
    ChildProcess next("\"" + files->folder().file("brannock_cli.exe") + "\" categories contacts", stem);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ::ResetEvent(pause.get());
    EXPECT_EQ(0u, next.wait(30000)) << readTextFile(stem + ".err");
    EXPECT_EQ(contacts, Json::parse(readTextFile(stem + ".out")));
    EXPECT_EQ(contacts, cliJson("categories contacts")) << "and the engine after it too";
}

// Reading assumed: the stand-in's timer stands still while the pump does;
// the add-in's worker then waits for the hand-over for as long as it takes.
TEST_P(EngineHost, TimeLimitWithAHostThatStandsStillThenIsKilled) {
    void *m = nullptr, *fresh = nullptr, *record = nullptr;
    unsigned long error = 0;
    int count = -1, read = 0, named = 0;
    ASSERT_EQ(BRANNOCK_OK, c->call("brannock_open", &m, &error));
    c->call("brannock_set_time_limit", m, 600ul);
    ::SetEvent(pause.get());
    const auto [begun, waited] = timed([&] { return c->call("brannock_begin_export", m, BRANNOCK_SECTION_CONTACT); });
    EXPECT_EQ(BRANNOCK_TIMEOUT, begun);
    EXPECT_TRUE(waited >= 550 && waited < 3000) << waited;
    // Still standing: the next command waits for the late answer and sends nothing.
    EXPECT_EQ(BRANNOCK_TIMEOUT, c->call("brannock_get_record_count", m, &count));
    EXPECT_EQ(-1, count);
    ::ResetEvent(pause.get());
    c->call("brannock_set_time_limit", m, 20000ul);
    // The late answer of the begin is taken in; then the count runs in the export it began.
    EXPECT_EQ(BRANNOCK_OK, c->call("brannock_get_record_count", m, &count));
    EXPECT_EQ(12, count);
    ASSERT_EQ(BRANNOCK_OK, c->call("brannock_record_create", &record));
    const char* key;
    size_t keyLength = 0, fields = 0;
    c->call("brannock_record_put", record, "~old", size_t{4}, "x", size_t{1});
    c->call("brannock_record_key", record, size_t{0}, &key, &keyLength);  // a walk before the refill
    for (int result; (result = c->call("brannock_get_next_record", m, record)) != BRANNOCK_NO_MORE && read < 20;
         ++read) {
        ASSERT_EQ(BRANNOCK_OK, result);
        const char* name;
        size_t length = 0;
        EXPECT_EQ(BRANNOCK_OK,
                  c->call("brannock_record_get_utf8", record, "128.Last Name", size_t{13}, &name, &length));
        named += length > 0;
        // The walk shows the new record's keys, in order.
        std::string previous;
        c->call("brannock_record_count", record, &fields);
        for (size_t i = 0; i < fields; previous = std::string(key, keyLength), ++i) {
            ASSERT_EQ(BRANNOCK_OK, c->call("brannock_record_key", record, i, &key, &keyLength));
            EXPECT_LT(previous, std::string(key, keyLength));
            EXPECT_NE("~old", std::string(key, keyLength));
        }
    }
    EXPECT_EQ(12, read);
    EXPECT_GT(named, 0);
    EXPECT_EQ(BRANNOCK_OK, c->call("brannock_end_export", m));
    c->call("brannock_record_free", record);

    // Killed while it stands still during an export: noticed within the limit.
    c->call("brannock_set_time_limit", m, 8000ul);
    ASSERT_EQ(BRANNOCK_OK, c->call("brannock_begin_export", m, BRANNOCK_SECTION_CONTACT));
    ::SetEvent(pause.get());
    std::thread killer([] {
        ::Sleep(300);
        host->kill();
    });
    const auto [result, ms] = timed([&] { return c->call("brannock_get_record_count", m, &count); });
    killer.join();
    EXPECT_TRUE(result == BRANNOCK_NOT_RUNNING || result == BRANNOCK_CLOSED) << result;
    EXPECT_LT(ms, 8000);
    // Closed from then on, as CommandMaster: at once, empty out-data.
    EXPECT_EQ(BRANNOCK_OK, c->call("brannock_get_record_count", m, &count));
    EXPECT_EQ(0, count);
    c->call("brannock_close", m);
    // A new master finds Palm Desktop gone before it sends anything.
    ASSERT_EQ(BRANNOCK_OK, c->call("brannock_open", &fresh, &error));
    c->call("brannock_set_time_limit", fresh, 8000ul);
    EXPECT_EQ(BRANNOCK_NOT_RUNNING, c->call("brannock_begin_export", fresh, BRANNOCK_SECTION_CONTACT));
    c->call("brannock_close", fresh);
    c.reset();

    const ProgramRun run = cli("export contacts");
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("Palm Desktop is not running"));
}

// The add-in's initialize event without a slave: a command waits until the
// time limit, or until the exit event says that Palm Desktop closed.
TEST_P(EngineHost, WithoutAnAnswerNoAnswerAndClosingEndWithTheirOwnCodes) {
    win::UniqueHandle initialized(::CreateEventA(nullptr, TRUE, TRUE, "Marrowvelle_Tesk_PDAddinInitializeEvent"));
    win::UniqueHandle exit(::CreateEventA(nullptr, TRUE, FALSE, "Marrowvelle_Tesk_PalmDesktopExitEvent"));
    const ProgramRun run = cli("--timeout 1 export contacts");
    EXPECT_EQ(7u, run.exitCode);
    EXPECT_THAT(run.err, HasSubstr("did not answer"));

    const std::string folder = files->folder().path();
    ChildProcess waiting("\"" + folder + "brannock_cli.exe\" export contacts", folder + "closing");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ::SetEvent(exit.get());
    EXPECT_EQ(4u, waiting.wait(30000));
    EXPECT_THAT(readTextFile(folder + "closing.err"), HasSubstr("Palm Desktop closed while it was asked to begin"));
}

}  // namespace
