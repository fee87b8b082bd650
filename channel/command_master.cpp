#include "channel/command_master.h"

#include <new>

#include "channel/channel_trace.h"

namespace {

/// An answer that carries only `result`.
CommandProcessor emptyAnswer(int result)
{
    CommandProcessor answer;
    answer.setCommand(CmdResponse);
    answer.setResponseCode(result);
    return answer;
}

/// Ignores the command's arguments or the answer's data.
struct Nothing {
    void operator()(const CommandProcessor&, int = 0) const noexcept {}
};

}  // namespace

void CommandMaster::traceOpened() noexcept { trace::traceLine(trace::End::Master, "channel opened"); }

CommandMaster::~CommandMaster() { trace::traceLine(trace::End::Master, "channel closed"); }

template <typename Fill, typename Take>
ResponseCode CommandMaster::exchange(int code, Fill fill, Take take) noexcept
{
    try {
        resetSlave();
        CommandProcessor command;
        command.setCommand(code);
        fill(command);
        const CommandProcessor answer = send(command);
        const int result = answer.getResponseCode();
        take(answer, result);
        // The slave passes on its handler's integer unchanged.
        return static_cast<ResponseCode>(result);
    } catch (...) {
        return ResponseFailed;
    }
}

CommandProcessor CommandMaster::sendCommandAndReceiveResponse(const CommandProcessor& command) noexcept
{
    try {
        // Building the text changes the message, so it is built in a copy.
        CommandProcessor message = command;
        return send(message);
    } catch (...) {
        return emptyAnswer(ResponseFailed);
    }
}

CommandProcessor CommandMaster::send(CommandProcessor& command)
{
    const long long started = trace::traceClock();
    std::size_t sent = 0, back = 0;
    const char* note = nullptr;
    const auto roundTrip = [&] {
        if (closed_) {
            note = "not sent: the master is closed";
            return emptyAnswer(ResponseOk);
        }
        // A command that another master left (it gave up waiting, or its
        // process ended) may still be served: its answer is awaited and
        // dropped, so that it cannot be taken for this command's.
        if (!awaitAnswerInZone())
            return closedAnswer();
        if (!writeMessage(command)) {
            note = "not sent: too long for the zone";
            return emptyAnswer(ResponseFailed);
        }
        if (started)
            sent = messageLength();
        signalMaster();
        if (!awaitAnswerInZone())
            return closedAnswer();
        CommandProcessor answer;
        if (!readMessage(answer))
            throw std::bad_alloc();
        if (started)
            back = messageLength();
        return answer;
    };
    CommandProcessor answer = roundTrip();
    if (started)
        traceMasterCommand(command, answer.getResponseCode(), sent, back, started, note);
    return answer;
}

bool CommandMaster::awaitAnswerInZone() noexcept
{
    // A slave event that finds a command still in the zone was set for an
    // answer already taken in: it is passed over.
    while (commandOutstanding())
        if (waitForSlave() != 0)
            return false;
    return true;
}

void CommandMaster::closeAndWithdraw() noexcept
{
    closed_ = true;
    withdrawCommand();
    resetPDClosed();
}

CommandProcessor CommandMaster::closedAnswer()
{
    closeAndWithdraw();
    return emptyAnswer(ResponsePalmDesktopClosed);
}

ResponseCode CommandMaster::beginImport(Section section) noexcept
{
    return exchange(
        CmdBeginImport, [&](CommandProcessor& c) { c.setSection(section); }, Nothing());
}

ResponseCode CommandMaster::endImport() noexcept { return exchange(CmdEndImport, Nothing(), Nothing()); }

ResponseCode CommandMaster::beginExport(Section section) noexcept
{
    return exchange(
        CmdBeginExport, [&](CommandProcessor& c) { c.setSection(section); }, Nothing());
}

ResponseCode CommandMaster::endExport() noexcept { return exchange(CmdEndExport, Nothing(), Nothing()); }

ResponseCode CommandMaster::getNextRecord(Record& record) noexcept
{
    return exchange(CmdGetNextRecord, Nothing(), [&](const CommandProcessor& answer, int result) {
        if (result == ResponseOk)
            record = answer.getRecord();
    });
}

ResponseCode CommandMaster::sendRecord(const Record& record, std::string& recordId) noexcept
{
    return exchange(
        CmdSendRecord, [&](CommandProcessor& c) { c.setRecord(record); },
        [&](const CommandProcessor& answer, int) { recordId = answer.getRecordId(); });
}

ResponseCode CommandMaster::getRecordCount(int& count) noexcept
{
    return exchange(CmdGetRecordCount, Nothing(), [&](const CommandProcessor& answer, int result) {
        if (result == ResponseOk)
            count = answer.getCount();
    });
}

ResponseCode CommandMaster::readCategoryList(Section section, std::vector<std::string>& names) noexcept
{
    return exchange(
        CmdReadCategoryList, [&](CommandProcessor& c) { c.setSection(section); },
        [&](const CommandProcessor& answer, int result) {
            if (result == ResponseOk)
                names = answer.getCategories();
        });
}

ResponseCode CommandMaster::writeCategoryList(const std::vector<std::string>& names) noexcept
{
    return exchange(
        CmdWriteCategoryList, [&](CommandProcessor& c) { c.setCategories(names); }, Nothing());
}

ResponseCode CommandMaster::deleteRecord(const std::string& recordId) noexcept
{
    return exchange(
        CmdDeleteRecord, [&](CommandProcessor& c) { c.setRecordId(recordId); }, Nothing());
}

ResponseCode CommandMaster::deleteAll() noexcept { return exchange(CmdDeleteAll, Nothing(), Nothing()); }
