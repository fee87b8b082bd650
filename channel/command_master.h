#pragma once

#include "channel/command_base.h"
#include "channel/command_processor.h"
#include "record/brannock_api.h"
#include "record/record.h"

#include <string>
#include <vector>

/// The synchronisation engine's end of the command channel. Each operation
/// sends one command to the slave inside Palm Desktop, waits for its answer
/// and returns the answer's result; out-parameters are written only as each
/// operation states.
///
/// When Palm Desktop's slave goes away (the exit event is found set), the
/// operation in progress returns ResponsePalmDesktopClosed, once; the
/// master is closed from then on and every later operation returns
/// ResponseOk at once with empty out-data, without touching the zone. Build
/// a new master to talk to a new Palm Desktop. The command left unanswered
/// is withdrawn then (the master event reset, a failure answer written over
/// it), so that no later slave carries out a command reported as not done.
///
/// Whether a command is outstanding is read from the zone itself, so it
/// holds for every master in every process: a command found in the zone
/// (one that a master gave up on, or whose process ended) is waited for,
/// and its answer dropped, before a master writes its own. So every answer
/// reaches the command it belongs to.
///
/// A command whose text would not fit into the zone with its NUL is not
/// sent: the operation returns ResponseFailed. So does an operation that
/// runs out of memory; no exception leaves an operation (all are noexcept).
///
/// One thread at a time; not copyable.
class BRANNOCK_API CommandMaster : public CommandBase {
public:
    /// Opens or creates the channel objects. Throws the system error code
    /// (`unsigned long`) when the zone cannot be created or mapped; the
    /// throw happens in the caller's module (see brannock_api.h).
    CommandMaster() { traceOpened(); }
    ~CommandMaster();

    /// Starts an import into `section`.
    ResponseCode beginImport(Section section) noexcept;
    /// Ends the import.
    ResponseCode endImport() noexcept;
    /// Starts an export of `section`.
    ResponseCode beginExport(Section section) noexcept;
    /// Ends the export.
    ResponseCode endExport() noexcept;
    /// On ResponseOk, `record` is replaced by the next exported record.
    ResponseCode getNextRecord(Record& record) noexcept;
    /// Writes `record` into Palm Desktop; `recordId` always receives the
    /// answer's record id (empty when it carries none), whatever the result.
    ResponseCode sendRecord(const Record& record, std::string& recordId) noexcept;
    /// On ResponseOk, `count` receives the number of records of the export.
    ResponseCode getRecordCount(int& count) noexcept;
    /// On ResponseOk, `names` is replaced by the category names of `section`.
    ResponseCode readCategoryList(Section section, std::vector<std::string>& names) noexcept;
    /// Adds `names` to the categories of the section named last.
    ResponseCode writeCategoryList(const std::vector<std::string>& names) noexcept;
    /// Deletes the item that carries `recordId`.
    ResponseCode deleteRecord(const std::string& recordId) noexcept;
    /// Deletes every item of the section named last.
    ResponseCode deleteAll() noexcept;

protected:
    /// Sends `command` and returns the answer. On a closed master, an empty
    /// answer with ResponseOk; when the slave is found gone, an empty answer
    /// with ResponsePalmDesktopClosed; for a command too long for the zone,
    /// or out of memory, an empty answer with ResponseFailed.
    CommandProcessor sendCommandAndReceiveResponse(const CommandProcessor& command) noexcept;
    /// Whether the master is closed (Palm Desktop was found gone).
    bool isClosed() const noexcept { return closed_; }
    /// Closes the master for good, as finding Palm Desktop gone does, and
    /// withdraws the command that no slave will answer.
    void closeAndWithdraw() noexcept;

private:
    /// Puts the opening of this end into the field trace.
    void traceOpened() noexcept;
    /// sendCommandAndReceiveResponse for a command of our own, whose text
    /// is built in place.
    CommandProcessor send(CommandProcessor& command);
    /// Waits, without limit, until no command stands in the zone. False when
    /// the exit event ended the wait.
    bool awaitAnswerInZone() noexcept;
    /// Closes and withdraws; the answer ResponsePalmDesktopClosed.
    CommandProcessor closedAnswer();
    /// The common course of every operation: reset the slave event, build
    /// the command with `code` and `fill`, exchange it, hand the answer to
    /// `take`, return the answer's result.
    template <typename Fill, typename Take>
    ResponseCode exchange(int code, Fill fill, Take take) noexcept;

    bool closed_ = false;
};
