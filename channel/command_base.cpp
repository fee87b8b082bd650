#include "channel/command_base.h"

#include "channel/channel_names.h"
#include "channel/command_processor.h"

#include <string>

namespace {

HANDLE openOrCreateEvent(bool manualReset, const char* name)
{
    return ::CreateEventA(nullptr, manualReset, FALSE, name);
}

/// Waits for the first of two events; 0 when `first` ended the wait,
/// WAIT_TIMEOUT when neither came within `milliseconds`.
long waitForFirstOf(HANDLE first, HANDLE second, DWORD milliseconds = INFINITE)
{
    const HANDLE events[] = {first, second};
    const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, milliseconds);
    if (woken == WAIT_TIMEOUT)
        return WAIT_TIMEOUT;
    return woken == WAIT_OBJECT_0 ? 0 : E_FAIL;
}

}  // namespace

unsigned long CommandBase::open() noexcept
{
    if (const unsigned long error = zone_.open(sharedZoneName(), sharedZoneSize))
        return error;
    masterEvent_.reset(openOrCreateEvent(false, masterEventName()));
    slaveEvent_.reset(openOrCreateEvent(false, slaveEventName()));
    exitEvent_.reset(openOrCreateEvent(true, exitEventName()));
    return 0;
}

CommandBase::~CommandBase()
{
    masterEvent_.reset();
    slaveEvent_.reset();
    if (!masterSide_)
        signalObject(exitEvent_.get());
    exitEvent_.reset();
}

long CommandBase::waitForMaster(HANDLE extra) noexcept
{
    masterSide_ = false;
    resetPDClosed();
    if (!extra) {
        ::WaitForSingleObject(masterEvent_.get(), INFINITE);
        return 0;
    }
    return waitForFirstOf(masterEvent_.get(), extra);
}

long CommandBase::waitForSlave() noexcept { return waitForFirstOf(slaveEvent_.get(), exitEvent_.get()); }

long CommandBase::waitForSlaveWithin(unsigned long milliseconds) noexcept
{
    return waitForFirstOf(slaveEvent_.get(), exitEvent_.get(), milliseconds < INFINITE ? milliseconds : INFINITE - 1);
}

bool CommandBase::masterSignalledWithin(unsigned long milliseconds) noexcept
{
    if (::WaitForSingleObject(masterEvent_.get(), milliseconds) != WAIT_OBJECT_0)
        return false;
    signalMaster();
    return true;
}

void CommandBase::signalMaster() noexcept { signalObject(masterEvent_.get()); }
void CommandBase::signalSlave() noexcept { signalObject(slaveEvent_.get()); }
void CommandBase::resetMaster() noexcept { resetObject(masterEvent_.get()); }
void CommandBase::resetSlave() noexcept { resetObject(slaveEvent_.get()); }
void CommandBase::resetPDClosed() noexcept { resetObject(exitEvent_.get()); }

bool CommandBase::readMessage(CommandProcessor& message) const noexcept
{
    try {
        // A zone without a NUL (only a broken peer leaves one) is read up
        // to its bound, through a terminated copy.
        const std::string_view text = zone_.message();
        if (text.size() < zone_.capacity())
            message.parse(text.data());
        else
            message.parse(std::string(text).c_str());
        return true;
    } catch (...) {
        return false;
    }
}

bool CommandBase::writeMessage(CommandProcessor& message) noexcept
{
    try {
        return writeText(message.serialize());
    } catch (...) {
        return false;
    }
}

bool CommandBase::writeText(const char* text) noexcept { return zone_.write(text); }

void CommandBase::writeFailureAnswer() noexcept
{
    // What CommandProcessor writes for an answer of ResponseFailed without
    // a record id; spelt out, so that writing it needs no memory.
    static const char failure[] = {'1', '1', CommandProcessor::fieldEnd, '0', CommandProcessor::fieldEnd,
                                   CommandProcessor::fieldEnd, '1', CommandProcessor::fieldEnd, '\0'};
    writeText(failure);
}

bool CommandBase::commandOutstanding() const noexcept
{
    // The other side may be writing meanwhile; only the first field is
    // looked at, and a torn read of it at worst costs one more wait.
    const volatile char* text = zone_.view();
    const std::size_t bound = zone_.capacity();
    int code = 0;
    std::size_t i = 0;
    for (; i < bound && i < 3 && text[i] >= '0' && text[i] <= '9'; ++i)
        code = code * 10 + (text[i] - '0');
    return i > 0 && i < bound && text[i] == CommandProcessor::fieldEnd && code <= CmdDeleteAll;
}

void CommandBase::withdrawCommand() noexcept
{
    resetMaster();
    if (commandOutstanding())
        writeFailureAnswer();
}

std::size_t CommandBase::messageLength() const noexcept { return zone_.message().size(); }

void CommandBase::signalObject(HANDLE event) noexcept { ::SetEvent(event); }
void CommandBase::resetObject(HANDLE event) noexcept { ::ResetEvent(event); }
