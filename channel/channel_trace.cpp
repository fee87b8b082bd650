#include "channel/channel_trace.h"

#include <atomic>
#include <iterator>

#include "channel/command_processor.h"

namespace {

const char* const commandNames[] = {
    "beginImport",      "endImport",         "beginExport",         "endExport",
    "getNextRecord",    "sendRecord",        "getRecordCount",      "readCategoryList",
    "writeCategoryList", "deleteRecord",     "deleteAll",
};

const char* const sectionNames[] = {"calendar", "contacts", "todo", "memo"};

const char* commandName(int code) noexcept
{
    return code >= 0 && code < static_cast<int>(std::size(commandNames)) ? commandNames[code] : "unknown";
}

const char* resultName(int result) noexcept
{
    switch (result) {
    case ResponseOk: return "ok";
    case ResponseFailed: return "failed";
    case ResponseNoMoreRecords: return "no more records";
    case ResponsePalmDesktopClosed: return "Palm Desktop closed";
    case -103: return "Palm Desktop not running";
    case -104: return "time limit passed";
    default: return "unknown";
    }
}

// The section of each end's last command that named one, for the commands
// that name none (a trace-only copy of what the slave's dispatch keeps).
std::atomic<int> lastSection[2] = {{-1}, {-1}};

/// The section `command` works on, for the trace: its own for the commands
/// that carry one, else the one named last at this end.
const char* sectionOf(trace::End end, const CommandProcessor& command) noexcept
{
    std::atomic<int>& last = lastSection[end == trace::End::Master ? 0 : 1];
    const int code = command.getCommand();
    if (code == CmdBeginImport || code == CmdBeginExport || code == CmdReadCategoryList)
        last.store(command.getSection());
    const int section = last.load();
    if (section < 0)
        return "none";
    return section < static_cast<int>(std::size(sectionNames)) ? sectionNames[section] : "out of range";
}

}  // namespace

void traceMasterCommand(const CommandProcessor& command, int result, std::size_t sentBytes,
                        std::size_t answerBytes, long long started, const char* note) noexcept
{
    const int code = command.getCommand();
    trace::traceLine(trace::End::Master, "sent %s (%d) section %s: %lu bytes out, %lu bytes back, result %d (%s), %.1f ms%s%s",
                     commandName(code), code, sectionOf(trace::End::Master, command),
                     static_cast<unsigned long>(sentBytes), static_cast<unsigned long>(answerBytes), result,
                     resultName(result), trace::millisecondsSince(started), note ? "; " : "", note ? note : "");
    if (result == ResponsePalmDesktopClosed)
        trace::traceLine(trace::End::Master, "channel closed: Palm Desktop went away (-2); the master answers 0 from now on");
}

void traceSlaveCommand(const CommandProcessor& command, int result, std::size_t answerBytes, long long published,
                       bool withdrawn) noexcept
{
    const int code = command.getCommand();
    trace::traceLine(trace::End::Slave, "served %s (%d) section %s: result %d (%s), %lu bytes back, %.1f ms%s",
                     commandName(code), code, sectionOf(trace::End::Slave, command), result, resultName(result),
                     static_cast<unsigned long>(answerBytes), trace::millisecondsSince(published),
                     withdrawn ? "; withdrawn by a stop before it ran" : "");
}
