#pragma once

// What the benchmarks share: the process's usage, a Palm Desktop end with the
// real handlers, helper processes, and random records.

#include "record/record.h"
#include "standin/standin_desktop.h"
#include "in_process_slave.h"
#include "win/unique_handle.h"

#include <memory>
#include <random>
#include <string>
#include <vector>

/// What this process holds: open handles and committed private bytes.
struct ProcessUsage {
    unsigned long handles = 0;
    std::size_t privateBytes = 0;
};
ProcessUsage processUsage();

/// The Palm Desktop end with the real section handlers: a stand-in desktop with the categories "Business" and
/// "Personal" in every section, shared with the handlers, served by an InProcessSlave.
struct StandinSlave {
    StandinSlave();
    ~StandinSlave();

    standin::StandinDesktop desk;
    std::unique_ptr<InProcessSlave> slave;
};

/// A helper program of this program's folder, started tied to this process as `program suffix` and asked to end
/// through the event `quitPrefix` + suffix.
class HelperProcess {
public:
    HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix);
    /// Quits the helper if it still runs; kills it when it does not end.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    /// Asks the helper to end and waits up to 15 s; true when it ended with exit code 0 (false when it never started).
    bool quit();

private:
    win::UniqueHandle quitEvent_, process_;
};
/// A contact with every field filled that exports back equal: the first name without a blank (Palm Desktop's one
/// name field would split it), at most seven of the eight phones (Palm Desktop shows seven).
Record randomContact(std::mt19937& random, const std::vector<std::string>& categories);
/// A memo: a title of up to 255 bytes, a body of several lines.
Record randomMemo(std::mt19937& random, const std::vector<std::string>& categories);
/// The keys a contact record carries, "RecordId" included.
std::vector<std::string> contactKeys();
/// The keys a memo record carries, "RecordId" included.
std::vector<std::string> memoKeys();

