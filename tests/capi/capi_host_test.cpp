// The C interface against a running stand-in Palm Desktop: the C example,
// an engine that knows only LoadLibrary and GetProcAddress, and the time
// limit. Each program runs beside the host's copy of Brannock.dll. One host
// serves the suite; the last test kills it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "cli_harness.h"

namespace {

using ::testing::HasSubstr;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F13}";
constexpr char kPauseEvent[] = "Brannock_CapiTest_PauseHost";

class CapiHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setup_ = new CliSetup(kClassId);
        for (const char* program : {"capi_example.exe", "capi_loadlibrary.exe", "capi_timing.exe"})
            setup_->files().addFile(program);
        const std::string data = setup_->writeFile("palm_desktop.json", readTextFile(BRANNOCK_DEMO_DATA));
        host_ = new HostProcess(*setup_, kClassId, data, std::string("--pause-event ") + kPauseEvent);
    }
    static void TearDownTestSuite() {
        delete host_;
        delete setup_;
    }
    void SetUp() override { ASSERT_TRUE(host_->running()) << "the stand-in host did not start"; }

    static CliRun run(const std::string& program, const std::string& arguments = {}) {
        const CliRun result = setup_->run(program, arguments);
        std::printf("%s", result.out.c_str());
        return result;
    }

    static CliSetup* setup_;
    static HostProcess* host_;
};

CliSetup* CapiHost::setup_ = nullptr;
HostProcess* CapiHost::host_ = nullptr;

// The demo data: 12 contacts, 11 events, 9 to-dos, 6 memos.
TEST_F(CapiHost, CExampleExportsAndImportsBackEverySection) {
    const CliRun result = run("capi_example.exe");
    EXPECT_EQ(0u, result.exitCode);
    for (const char* line : {"contacts: 12 of 12 imported back", "calendar: 11 of 11 imported back",
                             "to-dos: 9 of 9 imported back", "memos: 6 of 6 imported back",
                             "contacts categories: Business Personal QuickList Unfiled", "(repeats, type"})
        EXPECT_THAT(result.out, HasSubstr(line));
}

TEST_F(CapiHost, LoadLibraryEngineExportsContacts) {
    const CliRun result = run("capi_loadlibrary.exe");
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_THAT(result.out, HasSubstr("exported 12 of 12 contacts"));
    EXPECT_THAT(result.out, HasSubstr("128.Last Name="));
}

TEST_F(CapiHost, TimeOutWhileTheHostsTimerStandsStill) {
    EXPECT_EQ(0u, run("capi_timing.exe", std::string("timeout ") + kPauseEvent).exitCode);
}

TEST_F(CapiHost, HostKilledDuringAnExportIsNoticedWithinTheLimit) {
    EXPECT_EQ(0u, run("capi_timing.exe", std::string("killed ") + kPauseEvent + " " +
                                             std::to_string(host_->processId())).exitCode);
}

}  // namespace
