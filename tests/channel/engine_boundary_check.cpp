// An engine built exactly as README says (g++ -std=c++17 -static, the import library, nothing else) uses every
// exported class across the DLL's edge. On i686 an exception thrown inside the DLL could not reach this module's
// frames, so the constructors' error must be raised here.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "channel/command_master.h"
#include "channel/command_slave.h"
#include "record/record.h"
#include "record/repeat.h"

namespace {

int failures = 0;

void check(bool ok, const char* what)
{
    if (!ok)
        std::printf("FAILED: %s\n", what);
    failures += !ok;
}

template <typename End>
unsigned long constructorError()
{
    try {
        End end;
        return 0;
    } catch (unsigned long error) {
        return error;
    }
}

}  // namespace

int main()
{
    // Without a configuration beside the DLL the zone's name carries the null class identifier; a mutex squatting
    // on it makes the mapping fail.
    const char zoneName[] = "Marrowvelle_Tesk_SharedZone{00000000-0000-0000-0000-000000000000}";
    HANDLE squatter = ::CreateMutexA(nullptr, FALSE, zoneName);
    check(squatter != nullptr, "mutex under the zone's name");
    check(constructorError<CommandMaster>() == ERROR_INVALID_HANDLE, "CommandMaster throws error 6");
    check(constructorError<CommandSlave>() == ERROR_INVALID_HANDLE, "CommandSlave throws error 6");
    ::CloseHandle(squatter);
    check(constructorError<CommandMaster>() == 0, "CommandMaster opens once the name is free");

    Record record;
    record.putField("129.First Name", std::string(100000, 'x'));
    record.putField("128.Last Name", "Brannock");
    Record copy(record);
    copy.restore(record.save());
    std::string dump;
    copy.dump(dump);
    check(copy.getField("128.Last Name") == "Brannock", "Record save and restore");
    check(copy.getField("129.First Name").size() == 100000, "Record long value");
    check(dump.find("128.Last Name = Brannock\r\n") == 0, "Record dump");

    Repeat repeat, parsed;
    int days[Repeat::dayPatternSize] = {0, 1, 0, 1, 0, 0, 0}, back[Repeat::dayPatternSize] = {};
    repeat.setDayPattern(days);
    repeat.setRepeatType(12);
    repeat.setExclusionDates({"20261228", "20270104"});
    parsed.parse(repeat.save());
    parsed.getDayPattern(back);
    check(parsed.getRepeatType() == 12 && back[1] == 1 && back[3] == 1, "Repeat save and parse");
    check(parsed.getExclusionDates() == std::vector<std::string>({"20261228", "20270104"}), "Repeat exclusion dates");

    // A master whose slave went away answers closed once, then empty.
    CommandMaster master;
    HANDLE exitEvent = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, "Marrowvelle_Tesk_PalmDesktopExitEvent");
    check(exitEvent != nullptr, "exit event exists");
    ::SetEvent(exitEvent);
    ::CloseHandle(exitEvent);
    check(master.beginExport(SectionContact) == ResponsePalmDesktopClosed, "first answer is closed");
    std::vector<std::string> names{"kept"};
    check(master.readCategoryList(SectionMemo, names) == ResponseOk, "closed master answers Ok");
    std::string id = "kept";
    check(master.sendRecord(Record(), id) == ResponseOk && id.empty(), "closed master sends nothing");
    std::printf("engine boundary: %s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
