#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace cli {

/// Ends the process with ExitNoAnswer when one command to Palm Desktop has
/// waited longer than the time limit: CommandMaster itself waits for as
/// long as the slave takes, and a tool must not hang for ever on a Palm
/// Desktop that stopped answering.
class Watchdog {
public:
    /// A watchdog with a limit of `seconds` per command; 0 means no limit.
    explicit Watchdog(unsigned seconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    /// Runs `command` (named `what` in the message) under the time limit.
    template <typename Command>
    auto run(const char* what, Command&& command) {
        arm(what);
        auto result = command();
        disarm();
        return result;
    }

private:
    void arm(const char* what);
    void disarm();
    void watch();

    std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const char* current_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace cli
