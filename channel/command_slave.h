#pragma once

#include "channel/command_base.h"
#include "record/brannock_api.h"
#include "win/unique_handle.h"

/// The end of the command channel inside Palm Desktop. `loop`, on a worker
/// thread, waits for each command in the zone, has it carried out on Palm
/// Desktop's user-interface thread (the timer procedure of pending_call.h
/// runs it there), writes the answer back and signals the master, until
/// `SetStopFlag` is called.
///
/// The answer's result is ResponseFailed when the stop ends the wait before
/// the call has run (the call is then withdrawn and never runs), and when
/// the command code is outside 0-10. An answer that would not fit into the
/// zone with its NUL is not written; a plain ResponseFailed answer goes in
/// its place.
///
/// A command found in the zone when the loop starts, whose master event
/// does not come within a second, was taken by the slave of an earlier
/// Palm Desktop run that never answered (it was killed): the loop answers
/// it as failed, without running it, so that no master waits for it.
///
/// Not copyable, like every channel end.
class BRANNOCK_API CommandSlave : public CommandBase {
public:
    /// Opens or creates the channel objects and the stop event. Throws the
    /// system error code (`unsigned long`) when the zone fails; the throw
    /// happens in the caller's module (see brannock_api.h).
    CommandSlave() : stopEvent_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    /// Closes the stop event and the channel; after `loop` has run, this
    /// sets the exit event, which tells the master that no answer will come.
    ~CommandSlave();

    /// Asks `loop` to return; callable from any thread. A command being
    /// served is still answered first.
    void SetStopFlag() noexcept;
    /// Serves commands until the stop flag is set. No exception leaves it.
    void loop() noexcept;

private:
    /// Answers, as failed and without running it, a command that an
    /// earlier slave took and never answered.
    void answerLeftoverCommand() noexcept;
    /// Reads the command in the zone, has it carried out, writes the answer
    /// and signals the master.
    void serveCommand();

    win::UniqueHandle stopEvent_;
};
