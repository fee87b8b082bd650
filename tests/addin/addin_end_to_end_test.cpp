// One full run: Brannock.dll registered, a stand-in Palm Desktop that loads
// it through COM, and this program as the engine, exporting through
// CommandMaster on the channel named after the configured class identifier.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "channel/channel_names.h"
#include "channel/command_master.h"
#include "dll_copy.h"
#include "record/record.h"
#include "sections/field_keys.h"
#include "win/unique_handle.h"

namespace {

constexpr char kClassId[] = "{E2E0A1B2-C3D4-4E5F-8A9B-0C1D2E3F4A5B}";
constexpr char kClassIdLowerCase[] = "{e2e0a1b2-c3d4-4e5f-8a9b-0c1d2e3f4a5b}";
constexpr char kInitializeEvent[] = "Marrowvelle_Tesk_PDAddinInitializeEvent";
constexpr char kSiblingClassKey[] = "SOFTWARE\\Classes\\CLSID\\{7A1C0DE5-0000-4000-8000-00000000E2E0}";

bool keyExists(const std::string& path) {
    win::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool objectExists(const std::string& eventName) {
    return win::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, eventName.c_str())).operator bool();
}

bool waitUntil(bool (*condition)(), DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) return true;
        ::Sleep(50);
    }
    return condition();
}

// The stand-in Palm Desktop process, stopped through its named event.
class StandinHost {
public:
    StandinHost() : stop_(::CreateEventA(nullptr, TRUE, FALSE, kStopEvent)) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::string line = "\"" + programFolder() + "standin_host.exe\" --clsid " + kClassIdLowerCase +
                           " --sample-contacts 3 --stop-event " + kStopEvent;
        if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)) {
            ::CloseHandle(process.hThread);
            process_.reset(process.hProcess);
        }
    }
    ~StandinHost() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            stop();
            if (::WaitForSingleObject(process_.get(), 30000) == WAIT_TIMEOUT) ::TerminateProcess(process_.get(), 3);
        }
    }
    bool started() const { return bool(process_); }
    void stop() { ::SetEvent(stop_.get()); }
    /// Waits for the host to end; its exit code, or -1 after 30 seconds.
    DWORD waitForExit() {
        DWORD code = static_cast<DWORD>(-1);
        if (::WaitForSingleObject(process_.get(), 30000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    static constexpr char kStopEvent[] = "Brannock_EndToEnd_StopHost";
    win::UniqueHandle stop_;
    win::UniqueHandle process_;
};

TEST(EndToEnd, EngineExportsFromTheStandinDesktopAndLearnsOnceThatItClosed) {
    DllCopy copy(kClassIdLowerCase, "Tarnwick.dll={7a1c0de5-0000-4000-8000-00000000e2e0}\r\n");
    ASSERT_EQ(0u, runRegsvr32(copy.dllPath()));
    const std::string marker = std::string(kSiblingClassKey) + "\\Palm AddIn";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueA(HKEY_LOCAL_MACHINE, marker.c_str(), REG_SZ, "", 0));
    appendChannelNameSuffix(kClassId);

    {
        StandinHost host;
        ASSERT_TRUE(host.started());
        ASSERT_TRUE(waitUntil([] { return objectExists(kInitializeEvent); }, 30000));

        // The add-in named its channel after the configured identifier, in
        // upper-case registry form.
        EXPECT_TRUE(objectExists(std::string("Marrowvelle_Tesk_Master") + kClassId));
        EXPECT_TRUE(objectExists(std::string("Marrowvelle_Tesk_Slave") + kClassId));
        EXPECT_TRUE(win::UniqueHandle(::OpenFileMappingA(FILE_MAP_READ, FALSE,
                                                         (std::string("Marrowvelle_Tesk_SharedZone") + kClassId).c_str()))
                        .operator bool());

        CommandMaster master;
        // The first command waits out the worker's ten seconds.
        ASSERT_EQ(ResponseOk, master.beginExport(SectionContact));
        int count = -1;
        EXPECT_EQ(ResponseOk, master.getRecordCount(count));
        EXPECT_EQ(3, count);
        std::vector<std::string> lastNames;
        Record record;
        while (master.getNextRecord(record) == ResponseOk && lastNames.size() < 10)
            lastNames.push_back(record.getField(fieldkey::contact::LastName));
        std::sort(lastNames.begin(), lastNames.end());
        EXPECT_EQ((std::vector<std::string>{"Contact 1", "Contact 2", "Contact 3"}), lastNames);
        EXPECT_EQ(ResponseOk, master.endExport());

        host.stop();
        EXPECT_EQ(0u, host.waitForExit());
        EXPECT_FALSE(objectExists(kInitializeEvent));
        EXPECT_FALSE(keyExists(marker)) << "the sibling's Palm AddIn marker is removed";
        EXPECT_TRUE(keyExists(kSiblingClassKey));

        EXPECT_EQ(ResponsePalmDesktopClosed, master.getRecordCount(count));
        EXPECT_EQ(ResponseOk, master.getRecordCount(count)) << "the closing is reported once";
    }
    EXPECT_EQ(0u, runRegsvr32(copy.dllPath(), true));
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSiblingClassKey);
}

}  // namespace
