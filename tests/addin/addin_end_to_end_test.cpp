// One full run: Brannock.dll registered, a stand-in Palm Desktop that loads
// it through COM, and this program as the engine on the channel named after
// the configured class identifier.

#include <windows.h>
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "channel/channel_names.h"
#include "channel/command_master.h"
#include "dll_copy.h"
#include "sections/field_keys.h"
#include "win/unique_handle.h"

namespace {

constexpr char kClassId[] = "{E2E0A1B2-C3D4-4E5F-8A9B-0C1D2E3F4A5B}";
constexpr char kInitializeEvent[] = "Marrowvelle_Tesk_PDAddinInitializeEvent";
constexpr char kSiblingClassKey[] = "SOFTWARE\\Classes\\CLSID\\{7A1C0DE5-0000-4000-8000-00000000E2E0}";

bool keyExists(const std::string& path) {
    win::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool eventExists(const char* name) { return bool(win::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, name))); }

TEST(EndToEnd, EngineExportsFromTheStandinDesktopAndLearnsOnceThatItClosed) {
    // Both identifiers in lower case; the add-in names its channel after its
    // own in upper-case registry form.
    DllCopy copy("{e2e0a1b2-c3d4-4e5f-8a9b-0c1d2e3f4a5b}", "Tarnwick.dll={7a1c0de5-0000-4000-8000-00000000e2e0}\r\n");
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    const std::string marker = std::string(kSiblingClassKey) + "\\Palm AddIn";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueA(HKEY_LOCAL_MACHINE, marker.c_str(), REG_SZ, "", 0));
    appendChannelNameSuffix(kClassId);
    {
        // The stand-in Palm Desktop process, stopped through its named event
        // (at the latest when this block is left).
        const char stopEvent[] = "Brannock_EndToEnd_StopHost";
        const win::UniqueHandle stop(::CreateEventA(nullptr, TRUE, FALSE, stopEvent));
        std::future<DWORD> host = std::async(std::launch::async, runTiedProcess,
                                             "\"" + programFolder() + "standin_host.exe\" --clsid " + kClassId +
                                                 " --sample-contacts 3 --stop-event " + stopEvent,
                                             60000);
        const struct StopOnLeave {
            HANDLE event;
            ~StopOnLeave() { ::SetEvent(event); }
        } stopOnLeave{stop.get()};
        for (int waited = 0; waited < 600 && !eventExists(kInitializeEvent); ++waited) ::Sleep(50);
        ASSERT_TRUE(eventExists(kInitializeEvent));

        CommandMaster master;
        // The first command waits out the worker's ten seconds.
        ASSERT_EQ(ResponseOk, master.beginExport(SectionContact));
        int count = -1;
        EXPECT_EQ(ResponseOk, master.getRecordCount(count));
        EXPECT_EQ(3, count);
        std::vector<std::string> lastNames;
        for (Record record; master.getNextRecord(record) == ResponseOk && lastNames.size() < 10;)
            lastNames.push_back(record.getField(fieldkey::contact::LastName));
        EXPECT_EQ((std::vector<std::string>{"Contact 1", "Contact 2", "Contact 3"}), lastNames);
        EXPECT_EQ(ResponseOk, master.endExport());

        ::SetEvent(stop.get());
        EXPECT_EQ(0u, host.get());
        EXPECT_FALSE(eventExists(kInitializeEvent));
        EXPECT_FALSE(keyExists(marker)) << "the sibling's Palm AddIn marker is removed";
        EXPECT_TRUE(keyExists(kSiblingClassKey));
        EXPECT_EQ(ResponsePalmDesktopClosed, master.getRecordCount(count));
        EXPECT_EQ(ResponseOk, master.getRecordCount(count)) << "the closing is reported once";
    }
    EXPECT_EQ(0u, runRegsvr32(copy.dllPath(), true));
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSiblingClassKey);
}

}  // namespace
