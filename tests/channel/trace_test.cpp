// The field trace: the "Trace=" setting, the lines both ends write for each command (never a field value), a
// handler's caught failure, and one file appended to by several processes at once.
#include "addin/trace_setting.h"
#include "channel/command_master.h"
#include "channel/section_dispatch.h"
#include "channel_test_support.h"
#include "in_process_slave.h"
#include "sections/field_keys.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
#include "tied_process.h"
#include "win/com_error.h"
#include "win/trace_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

std::string tempFolder()
{
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "brannock_trace_" + std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

/// The file's lines, each of which must end in CR LF.
Lines linesOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    Lines lines;
    std::string all = text.str();
    for (std::size_t start = 0, end; start < all.size(); start = end + 2) {
        end = all.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back("UNTERMINATED: " + all.substr(start));
            break;
        }
        lines.push_back(all.substr(start, end - start));
    }
    return lines;
}

/// A whole trace line: time, process id, end, event, printable ASCII only.
const std::regex wholeLine(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} pid \d+ (master|slave |dll   ) [ -~]+)");

std::size_t indexOf(const Lines& lines, const std::string& part, std::size_t from = 0)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].find(part) != std::string::npos)
            return i;
    return lines.size();
}

class Trace : public ::testing::Test {
protected:
    ~Trace() override
    {
        trace::openTraceFile({});
        ::DeleteFileA(file.c_str());
    }
    const std::string folder = tempFolder();
    const std::string file = folder + "trace.txt";
};

TEST_F(Trace, SettingAbsentEmptyRelativeAbsoluteOrUnwritable)
{
    const std::string config = folder + "conn_install.cfg";
    struct Row {
        const char* text;  ///< conn_install.cfg; null for no file
        std::string expected;  ///< the trace file, empty for none
    } rows[] = {
        {nullptr, ""},
        {"[Palm handheld]\r\nTrace=trace.txt\r\n", ""},
        {"[Brannock]\r\nHandOver=prompt\r\n", ""},
        {"[Brannock]\r\nTrace=\r\n", ""},
        {"[Brannock]\r\nTrace=   \r\n", ""},
        {"[Brannock]\r\nTrace= trace.txt \r\n", file},
        {"[Brannock]\r\nTrace=no such folder\\trace.txt\r\n", ""},
        {"[Brannock]\r\nTrace=.\r\n", ""},  // the folder itself
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text ? row.text : "no file");
        ::DeleteFileA(config.c_str());
        if (row.text)
            writeFile(config, row.text);
        EXPECT_EQ(startTraceFromSettings(config), !row.expected.empty());
        EXPECT_EQ(trace::traceFilePath(), row.expected);
        EXPECT_EQ(trace::traceEnabled(), !row.expected.empty());
        trace::traceLine(trace::End::Master, "harmless");
        trace::openTraceFile({});
    }
    ::DeleteFileA(config.c_str());
    EXPECT_EQ(traceFileFromSetting("C:\\logs\\t.txt", "D:\\dll\\"), "C:\\logs\\t.txt");
    EXPECT_EQ(traceFileFromSetting("\\\\server\\share\\t.txt", "D:\\dll\\"), "\\\\server\\share\\t.txt");
    EXPECT_EQ(traceFileFromSetting("logs\\t.txt", "D:\\dll\\"), "D:\\dll\\logs\\t.txt");
}

// A contact written and exported again, then an export that the stand-in fails: each command has the slave's line
// before the master's, the caught failure names its code, text and operation, and no value or record id appears.
TEST_F(Trace, BothEndsTraceEachCommandInOrderTheCaughtFailureAndNoFieldValue)
{
    isolateChannel();
    standin::StandinDesktop desk;
    desk.contacts().addCategory(L"Qvistrup");
    sharedApplication() = desk.application();
    sectionDispatch().reset();
    ASSERT_TRUE(trace::openTraceFile(file));
    std::string recordId;
    {
        InProcessSlave slave;
        CommandMaster master;
        Record record;
        using namespace fieldkey::contact;
        for (const auto& [key, value] : {std::pair{Category, "Qvistrup"}, {FirstName, "Zebulonia"},
                                         {LastName, "Wuthercombe"}, {BusinessStreet, "Fjordvik 17"},
                                         {EMail1Address, "Xanthippe@qz.example"}})
            record.putField(key, value);
        ASSERT_EQ(master.beginImport(SectionContact), ResponseOk);
        ASSERT_EQ(master.sendRecord(record, recordId), ResponseOk);
        ASSERT_EQ(master.endImport(), ResponseOk);
        ASSERT_EQ(master.beginExport(SectionContact), ResponseOk);
        Record exported;
        ASSERT_EQ(master.getNextRecord(exported), ResponseOk);
        ASSERT_EQ(exported.getField(fieldkey::contact::FirstName), "Zebulonia");
        ASSERT_EQ(master.endExport(), ResponseOk);
        desk.faults().failOn("ContactCollection.get_CategoryView", 1, E_ACCESSDENIED);
        ASSERT_EQ(master.beginExport(SectionContact), ResponseFailed);
        ASSERT_EQ(master.endExport(), ResponseOk);
    }
    sharedApplication().reset();
    sectionDispatch().reset();
    trace::openTraceFile({});

    const Lines lines = linesOf(file);
    std::string all;
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, wholeLine)) << line;
        all += line + "\n";
    }
    SCOPED_TRACE(all);
    for (const char* value : {"Qvistrup", "Zebulonia", "Wuthercombe", "Fjordvik", "Xanthippe"})
        EXPECT_EQ(all.find(value), std::string::npos) << value;
    ASSERT_FALSE(recordId.empty());
    EXPECT_EQ(all.find(recordId.substr(1, 8)), std::string::npos);

    std::size_t at = indexOf(lines, "master channel opened");
    for (const char* command : {"beginImport (0) section contacts", "sendRecord (5) section contacts",
                                "endImport (1)", "beginExport (2)", "getNextRecord (4)", "endExport (3)"}) {
        const std::size_t served = indexOf(lines, std::string("served ") + command, at);
        const std::size_t sent = indexOf(lines, std::string("sent ") + command, served);
        EXPECT_LT(sent, lines.size()) << command;
        EXPECT_NE(lines[served].find("result 0 (ok)"), std::string::npos);
        at = sent;
    }
    const std::size_t caught = indexOf(lines, "handler caught 0x80070005 in beginExport: ", at);
    ASSERT_LT(caught, lines.size());
    const std::string text = win::ComError(E_ACCESSDENIED).message();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(lines[caught].substr(lines[caught].size() - text.size()), text);
    const std::size_t served = indexOf(lines, "served beginExport (2) section contacts: result 1 (failed)", caught);
    EXPECT_LT(indexOf(lines, "sent beginExport (2) section contacts", served), lines.size());
    EXPECT_LT(indexOf(lines, "master channel closed", served), lines.size());
}

constexpr int kLinesPerWriter = 400;
constexpr char kWriterVariable[] = "BRANNOCK_TRACE_WRITER_FILE";

// Run by the test below in processes of its own; skipped when run alone.
TEST(TraceWriter, AppendsItsLines)
{
    const char* file = std::getenv(kWriterVariable);
    if (!file)
        GTEST_SKIP() << "a helper of ProcessesAppendingAtOnceNeverTearALine";
    ASSERT_TRUE(trace::openTraceFile(file));
    const std::string padding(200, 'x');
    for (int i = 0; i < kLinesPerWriter; ++i)
        trace::traceLine(i % 2 ? trace::End::Master : trace::End::Slave, "line %d %s end", i, padding.c_str());
    trace::openTraceFile({});
}

TEST_F(Trace, ProcessesAppendingAtOnceNeverTearALine)
{
    ::SetEnvironmentVariableA(kWriterVariable, file.c_str());
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string command = std::string("\"") + self + "\" --gtest_filter=TraceWriter.AppendsItsLines";
    std::vector<std::thread> writers;
    for (int i = 0; i < 3; ++i)
        writers.emplace_back([&] { EXPECT_EQ(runTiedProcess(command, 60000), 0u); });
    for (std::thread& writer : writers)
        writer.join();
    ::SetEnvironmentVariableA(kWriterVariable, nullptr);

    const Lines lines = linesOf(file);
    EXPECT_EQ(lines.size(), 3u * kLinesPerWriter);
    const std::regex writerLine(R"(.* (master|slave ) line \d+ x{200} end)");
    for (const std::string& line : lines)
        ASSERT_TRUE(std::regex_match(line, wholeLine) && std::regex_match(line, writerLine)) << line;
}

}  // namespace
