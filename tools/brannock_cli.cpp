// brannock_cli: the engine's side of Brannock on the command line. It links
// Brannock.dll as a synchronisation engine does and drives Palm Desktop
// through CommandMaster: export, import and delete records, read and add
// category names. Records travel as JSON in UTF-8 (tools/cli_record_json.h).

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capi/brannock.h"
#include "channel/command_master.h"
#include "record/record.h"
#include "tools/cli_failure.h"
#include "tools/cli_progress.h"
#include "tools/cli_record_json.h"
#include "tools/cli_table.h"
#include "tools/cli_watchdog.h"
#include "win/ansi.h"
#include "win/unique_handle.h"

namespace cli {
namespace {

constexpr char kInitializeEvent[] = "Marrowvelle_Tesk_PDAddinInitializeEvent";
constexpr unsigned kDefaultTimeoutSeconds = 120;

constexpr char kUsage[] =
    "usage: brannock_cli [OPTIONS] COMMAND ARGUMENTS\n"
    "\n"
    "Commands (SECTION is calendar, contacts, todo or memo):\n"
    "  export SECTION                    print every record of SECTION as a JSON array\n"
    "  import SECTION FILE               write the records of the JSON array in FILE (- for\n"
    "                                    standard input) into SECTION: a record whose \"RecordId\"\n"
    "                                    an item carries updates it, any other is created; prints\n"
    "                                    the record ids now stored, in input order, as JSON\n"
    "  delete SECTION ID                 delete the item that carries the record id ID\n"
    "  delete-all SECTION                delete every item of SECTION\n"
    "  categories SECTION                print SECTION's category names as JSON\n"
    "  categories SECTION --write NAME...\n"
    "                                    add the NAMEs to SECTION's categories (the calendar\n"
    "                                    takes none this way); prints the names afterwards\n"
    "\n"
    "Options:\n"
    "  --raw            show a \"Repeat\" field as its text instead of decoded\n"
    "  --table          export: print a compact table for people instead of JSON\n"
    "  --match KEY=VALUE\n"
    "                   export: keep only the records whose field KEY is VALUE\n"
    "                   (may be given more than once; all must hold)\n"
    "  --progress       show export and import progress even when standard error is\n"
    "                   not a terminal (on a terminal it is shown for more than 10 records)\n"
    "  --timeout SECS   give up when Palm Desktop has not answered one command within\n"
    "                   SECS seconds (default 120; 0 waits for ever)\n"
    "  --trace FILE     append a line per command sent (kind, section, sizes, result,\n"
    "                   time; never record contents) to FILE, for support; conn_install.cfg\n"
    "                   is not touched. The path is repeated at the end when the run fails\n"
    "  --help           show this text\n"
    "\n"
    "Exit codes:\n"
    "  0  success\n"
    "  1  Palm Desktop could not carry out the command (ResponseFailed)\n"
    "  2  usage error\n"
    "  3  Palm Desktop is not running (no initialised Brannock add-in); nothing sent\n"
    "  4  Palm Desktop closed during the command (ResponsePalmDesktopClosed)\n"
    "  5  bad input: not valid JSON (line and column given), not an array of records,\n"
    "     or text that cannot travel to Palm Desktop; nothing sent\n"
    "  6  the command channel cannot be opened\n"
    "  7  Palm Desktop did not answer within the time limit\n";

/// The command line, split and checked.
struct Options {
    std::string command;
    Section section = SectionContact;
    std::string sectionName;
    std::vector<std::string> arguments;  ///< UTF-8
    bool write = false;
    bool raw = false;
    bool table = false;
    std::vector<std::pair<std::string, std::string>> matches;  ///< UTF-8 key and value
    bool progress = false;
    unsigned timeoutSeconds = kDefaultTimeoutSeconds;
    std::string traceFile;  ///< UTF-8; empty for none
};

/// The trace file of this run (UTF-8), shown when the run fails.
std::string tracedTo;

Failure usage(const std::string& message) { return Failure(ExitUsage, message + " (see brannock_cli --help)"); }

/// The command line's arguments after the program name, as UTF-8, from the
/// wide command line (the narrow one would already be cut to the ANSI code
/// page).
std::vector<std::string> commandLineArguments() {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win::toNarrow(wide[i], std::wcslen(wide[i]), CP_UTF8));
    ::LocalFree(wide);
    return arguments;
}

std::optional<Section> sectionNamed(const std::string& name) {
    if (name == "calendar") return SectionCalendar;
    if (name == "contacts") return SectionContact;
    if (name == "todo") return SectionTodo;
    if (name == "memo") return SectionMemo;
    return std::nullopt;
}

Options parseCommandLine(const std::vector<std::string>& arguments) {
    Options options;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || options.write || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            words.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--raw") {
            options.raw = true;
        } else if (argument == "--table") {
            options.table = true;
        } else if (argument == "--match") {
            if (i + 1 >= arguments.size()) throw usage("--match needs KEY=VALUE");
            const std::string& match = arguments[++i];
            const std::size_t equals = match.find('=');
            if (equals == std::string::npos || equals == 0) throw usage("--match needs KEY=VALUE, not \"" + match + "\"");
            options.matches.emplace_back(match.substr(0, equals), match.substr(equals + 1));
        } else if (argument == "--progress") {
            options.progress = true;
        } else if (argument == "--write") {
            options.write = true;
        } else if (argument == "--timeout") {
            if (i + 1 >= arguments.size()) throw usage("--timeout needs a number of seconds");
            const std::string& value = arguments[++i];
            char* end = nullptr;
            const unsigned long seconds = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || value[0] == '-' || seconds > 86400 * 365)
                throw usage("--timeout needs a number of seconds, not \"" + value + "\"");
            options.timeoutSeconds = static_cast<unsigned>(seconds);
        } else if (argument == "--trace") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) throw usage("--trace needs a FILE");
            options.traceFile = arguments[++i];
        } else {
            throw usage("unknown option " + argument);
        }
    }
    if (words.empty()) throw usage("no command given");
    options.command = words[0];
    static const char* const commands[] = {"export", "import", "delete", "delete-all", "categories"};
    bool known = false;
    for (const char* command : commands) known = known || options.command == command;
    if (!known) throw usage("unknown command \"" + options.command + "\"");
    if (words.size() < 2) throw usage(options.command + " needs a section: calendar, contacts, todo or memo");
    options.sectionName = words[1];
    const auto section = sectionNamed(words[1]);
    if (!section) throw usage("unknown section \"" + words[1] + "\": use calendar, contacts, todo or memo");
    options.section = *section;
    options.arguments.assign(words.begin() + 2, words.end());

    const std::size_t given = options.arguments.size();
    if (options.write && options.command != "categories") throw usage("--write belongs to the categories command");
    if ((options.table || !options.matches.empty()) && options.command != "export")
        throw usage("--table and --match belong to the export command");
    if ((options.command == "export" || options.command == "delete-all") && given != 0)
        throw usage(options.command + " takes only a section");
    if (options.command == "import" && given != 1) throw usage("import needs a section and one FILE");
    if (options.command == "delete" && given != 1) throw usage("delete needs a section and one record id");
    if (options.command == "categories" && !options.write && given != 0)
        throw usage("categories takes only a section, or --write NAME...");
    if (options.command == "categories" && options.write && given == 0)
        throw usage("categories --write needs at least one name");
    return options;
}

/// Reads the whole input named on the command line ("-" for standard input).
std::string readInput(const std::string& name) {
    std::FILE* file = stdin;
    if (name != "-") {
        file = ::_wfopen(win::toWide(name, CP_UTF8).c_str(), L"rb");
        if (!file) throw badInput("cannot open " + name);
    } else {
        _setmode(_fileno(stdin), _O_BINARY);
    }
    std::string text;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    if (file != stdin) std::fclose(file);
    if (failed) throw badInput("cannot read " + name);
    return text;
}

void printJson(const Json& json) {
    const std::string text = json.dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

/// The add-in keeps its initialize event open, and so in existence, for as
/// long as it is initialised in Palm Desktop.
void requirePalmDesktop() {
    const win::UniqueHandle event(::OpenEventA(SYNCHRONIZE, FALSE, kInitializeEvent));
    if (!event)
        throw Failure(ExitNotRunning,
                      "Palm Desktop is not running, or the Brannock add-in is not initialised in it; "
                      "nothing was sent");
}

/// The engine's end of the channel, each command under the watchdog, each
/// non-success turned into a Failure.
class Session {
public:
    Session(unsigned timeoutSeconds, std::string sectionName)
        : master_(openMaster()), watchdog_(timeoutSeconds), sectionName_(std::move(sectionName)) {}

    /// Runs one master operation and checks its answer.
    template <typename Operation>
    void call(const std::string& what, Operation&& operation) {
        check(watchdog_.run(what.c_str(), [&] { return operation(*master_); }), what);
    }
    /// Runs one master operation and returns its answer unchecked unless it
    /// says that Palm Desktop closed.
    template <typename Operation>
    ResponseCode ask(const std::string& what, Operation&& operation) {
        const ResponseCode code = watchdog_.run(what.c_str(), [&] { return operation(*master_); });
        if (code == ResponsePalmDesktopClosed) check(code, what);
        return code;
    }
    /// Throws the Failure that stands for a non-success `code`.
    [[noreturn]] void fail(ResponseCode code, const std::string& what) const {
        if (code == ResponsePalmDesktopClosed)
            throw Failure(ExitClosed, "Palm Desktop closed while it was asked to " + what);
        if (code == ResponseFailed) throw Failure(ExitFailed, "Palm Desktop could not " + what);
        throw Failure(ExitFailed, "Palm Desktop answered the request to " + what + " with the unknown code " +
                                      std::to_string(static_cast<int>(code)));
    }
    void check(ResponseCode code, const std::string& what) const {
        if (code != ResponseOk) fail(code, what);
    }
    const std::string& sectionName() const { return sectionName_; }

private:
    static std::unique_ptr<CommandMaster> openMaster() {
        try {
            return std::make_unique<CommandMaster>();
        } catch (unsigned long error) {
            throw Failure(ExitChannel, "cannot open the command channel (system error " + std::to_string(error) + ")");
        }
    }

    std::unique_ptr<CommandMaster> master_;
    Watchdog watchdog_;
    std::string sectionName_;
};

/// Whether every KEY=VALUE of `wanted` holds for the text fields of `record`.
bool matches(const Json& record, const std::vector<std::pair<std::string, std::string>>& wanted) {
    for (const auto& [key, value] : wanted) {
        auto found = record.find(key);
        if (found == record.end() || !found->is_string() || found->get<std::string>() != value) return false;
    }
    return true;
}

int runExport(const Options& options, Session& session) {
    const std::string name = session.sectionName();
    session.call("begin the export of " + name, [&](CommandMaster& m) { return m.beginExport(options.section); });
    int total = 0;
    const ResponseCode counted = session.ask("count the " + name, [&](CommandMaster& m) { return m.getRecordCount(total); });
    if (counted != ResponseOk) {
        session.ask("end the export", [](CommandMaster& m) { return m.endExport(); });
        session.fail(counted, "count the " + name);
    }
    Json records = Json::array();
    int read = 0;
    {
        Progress progress("export " + name, total, options.progress);
        const RepeatForm form = options.raw ? RepeatForm::Raw : RepeatForm::Decoded;
        for (;;) {
            Record record;
            const std::string what = "read record " + std::to_string(read + 1) + " of the " + name;
            const ResponseCode code = session.ask(what, [&](CommandMaster& m) { return m.getNextRecord(record); });
            if (code == ResponseNoMoreRecords) break;
            if (code != ResponseOk) {
                session.ask("end the export", [](CommandMaster& m) { return m.endExport(); });
                session.fail(code, what);
            }
            ++read;
            Json json = recordToJson(record, form);
            if (matches(json, options.matches)) records.push_back(std::move(json));
            progress.update(read);
        }
    }
    session.call("end the export of " + name, [](CommandMaster& m) { return m.endExport(); });
    if (options.table) {
        const std::string table = recordTable(options.section, records);
        std::fwrite(table.data(), 1, table.size(), stdout);
        std::fflush(stdout);
    } else {
        printJson(records);
    }
    return ExitOk;
}

int runImport(const Options& options, const std::vector<Record>& records, Session& session) {
    const std::string name = session.sectionName();
    const int total = static_cast<int>(records.size());
    session.call("begin the import into " + name, [&](CommandMaster& m) { return m.beginImport(options.section); });
    Json ids = Json::array();
    {
        Progress progress("import " + name, total, options.progress);
        for (const Record& record : records) {
            std::string id;
            const std::string what = "write record " + std::to_string(ids.size() + 1) + " of " +
                                     std::to_string(total) + " into the " + name;
            const ResponseCode code = session.ask(what, [&](CommandMaster& m) { return m.sendRecord(record, id); });
            if (code != ResponseOk) {
                session.ask("end the import", [](CommandMaster& m) { return m.endImport(); });
                printJson(ids);  // the records stored before the failure stay stored
                session.fail(code, what);
            }
            ids.push_back(ansiToUtf8(id));
            progress.update(static_cast<int>(ids.size()));
        }
    }
    session.call("end the import into " + name, [](CommandMaster& m) { return m.endImport(); });
    printJson(ids);
    return ExitOk;
}

int runDelete(const Options& options, const std::string& recordId, Session& session) {
    const std::string name = session.sectionName();
    session.call("begin the import into " + name, [&](CommandMaster& m) { return m.beginImport(options.section); });
    const ResponseCode code =
        session.ask("delete a record of the " + name, [&](CommandMaster& m) { return m.deleteRecord(recordId); });
    if (code != ResponseOk) {
        session.ask("end the import", [](CommandMaster& m) { return m.endImport(); });
        session.fail(code, "delete a record of the " + name);
    }
    session.call("end the import into " + name, [](CommandMaster& m) { return m.endImport(); });
    return ExitOk;
}

std::vector<std::string> readCategories(const Options& options, Session& session) {
    std::vector<std::string> names;
    session.call("read the categories of the " + session.sectionName(),
                 [&](CommandMaster& m) { return m.readCategoryList(options.section, names); });
    return names;
}

Json namesToJson(const std::vector<std::string>& names) {
    Json json = Json::array();
    for (const std::string& name : names) json.push_back(ansiToUtf8(name));
    return json;
}

// deleteAll and writeCategoryList carry no section: the slave takes the
// section named last, so each is preceded by a category read that names it.
int runDeleteAll(const Options& options, Session& session) {
    readCategories(options, session);
    session.call("delete every item of the " + session.sectionName(), [](CommandMaster& m) { return m.deleteAll(); });
    return ExitOk;
}

int runCategories(const Options& options, const std::vector<std::string>& newNames, Session& session) {
    std::vector<std::string> names = readCategories(options, session);
    if (options.write) {
        session.call("add categories to the " + session.sectionName(),
                     [&](CommandMaster& m) { return m.writeCategoryList(newNames); });
        names = readCategories(options, session);
        for (const std::string& wanted : newNames)
            if (std::find(names.begin(), names.end(), wanted) == names.end())
                std::fprintf(stderr, "brannock_cli: warning: Palm Desktop did not add the category \"%s\" to the %s\n",
                             ansiToUtf8(wanted).c_str(), session.sectionName().c_str());
    }
    printJson(namesToJson(names));
    return ExitOk;
}

/// A record id or category name from the command line, in ANSI, free of
/// `separators`.
std::string commandLineText(const std::string& utf8, const char* what, const std::string& separators) {
    if (utf8.empty()) throw badInput(std::string(what) + " is empty");
    std::string ansi = utf8ToAnsi(utf8, std::string(what) + " \"" + utf8 + "\"");
    if (ansi.find_first_of(separators) != std::string::npos)
        throw badInput(std::string(what) + " \"" + utf8 + "\" holds a character that cannot travel to Palm Desktop");
    return ansi;
}

/// Sends this run's trace to `file`; a file that cannot be opened only
/// costs the trace.
void startTrace(const std::string& file) {
    const std::string ansi = utf8ToAnsi(file, "the trace file \"" + file + "\"");
    if (brannock_set_trace(ansi.data(), ansi.size()) == BRANNOCK_OK)
        tracedTo = file;
    else
        std::fprintf(stderr, "brannock_cli: warning: cannot open the trace file %s; the run goes on untraced\n",
                     file.c_str());
}

/// On a failed run: where its trace is.
void showTrace() {
    if (!tracedTo.empty()) std::fprintf(stderr, "brannock_cli: trace of this run: %s\n", tracedTo.c_str());
}

int run(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            std::fputs(kUsage, stdout);
            return ExitOk;
        }
    const Options options = parseCommandLine(arguments);

    // Everything the user gave is checked before anything is sent.
    std::vector<Record> records;
    std::string recordId;
    std::vector<std::string> newNames;
    if (options.command == "import") {
        const std::string& source = options.arguments[0];
        records = recordsFromJson(parseJson(readInput(source), source == "-" ? "standard input" : source),
                                  source == "-" ? "standard input" : source);
    } else if (options.command == "delete") {
        recordId = commandLineText(options.arguments[0], "the record id", std::string("\xB6", 1));
    } else if (options.write) {
        for (const std::string& name : options.arguments)
            newNames.push_back(commandLineText(name, "the category name", std::string("\xA3\xB6", 2)));
    }

    if (!options.traceFile.empty()) startTrace(options.traceFile);
    requirePalmDesktop();
    Session session(options.timeoutSeconds, options.sectionName);
    if (options.command == "export") return runExport(options, session);
    if (options.command == "import") return runImport(options, records, session);
    if (options.command == "delete") return runDelete(options, recordId, session);
    if (options.command == "delete-all") return runDeleteAll(options, session);
    return runCategories(options, newNames, session);
}

}  // namespace
}  // namespace cli

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    if (_isatty(_fileno(stderr)) || _isatty(_fileno(stdout))) ::SetConsoleOutputCP(CP_UTF8);
    try {
        return cli::run(cli::commandLineArguments());
    } catch (const cli::Failure& failure) {
        std::fprintf(stderr, "brannock_cli: %s\n", failure.what());
        cli::showTrace();
        return failure.code();
    } catch (const std::exception& error) {
        // Out of memory, in practice.
        std::fprintf(stderr, "brannock_cli: %s\n", error.what());
        cli::showTrace();
        return cli::ExitFailed;
    }
}
