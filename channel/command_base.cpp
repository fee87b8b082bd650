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

void CommandBase::signalMaster() noexcept { signalObject(masterEvent_.get()); }
void CommandBase::signalSlave() noexcept { signalObject(slaveEvent_.get()); }
void CommandBase::resetMaster() noexcept { resetObject(masterEvent_.get()); }
void CommandBase::resetSlave() noexcept { resetObject(slaveEvent_.get()); }
void CommandBase::resetPDClosed() noexcept { resetObject(exitEvent_.get()); }

void CommandBase::readMessage(CommandProcessor& message) const
{
    // A zone without a NUL (only a broken peer leaves one) is read up to
    // its bound, through a terminated copy.
    const std::string_view text = zone_.message();
    if (text.size() < zone_.capacity())
        message.parse(text.data());
    else
        message.parse(std::string(text).c_str());
}

bool CommandBase::writeMessage(CommandProcessor& message) { return writeText(message.serialize()); }

bool CommandBase::writeText(const char* text) noexcept { return zone_.write(text); }

std::size_t CommandBase::messageLength() const noexcept { return zone_.message().size(); }

void CommandBase::signalObject(HANDLE event) noexcept { ::SetEvent(event); }
void CommandBase::resetObject(HANDLE event) noexcept { ::ResetEvent(event); }
