// The C interface against a running stand-in Palm Desktop holding the demo
// data (12 contacts, 11 events, 9 to-dos, 6 memos): the C example, an engine
// that knows only LoadLibrary and GetProcAddress, and the time limit. Each
// program runs beside the host's copy of Brannock.dll. The last test kills
// the host.

#include <gmock/gmock.h>

#include "cli_harness.h"

namespace {

using ::testing::HasSubstr;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F13}";
const std::string kPause = " Brannock_CapiTest_PauseHost";

class CapiHost : public HostSuite {
protected:
    static void SetUpTestSuite() {
        startHost(kClassId, readTextFile(BRANNOCK_DEMO_DATA), "--pause-event" + kPause,
                  {"capi_example.exe", "capi_loadlibrary.exe", "capi_timing.exe"});
    }
    static CliRun run(const std::string& program, const std::string& arguments = {}) {
        const CliRun result = setup->run(program, arguments);
        std::printf("%s", result.out.c_str());
        return result;
    }
};

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
    EXPECT_EQ(0u, run("capi_timing.exe", "timeout" + kPause).exitCode);
}

TEST_F(CapiHost, HostKilledDuringAnExportIsNoticedWithinTheLimit) {
    EXPECT_EQ(0u, run("capi_timing.exe", "killed" + kPause + " " + std::to_string(host->processId())).exitCode);
}

}  // namespace
