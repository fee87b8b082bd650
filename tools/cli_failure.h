#pragma once

// How brannock_cli ends: its exit codes and the failure that carries one.

#include <stdexcept>
#include <string>

namespace cli {

/// The exit codes of brannock_cli, one per kind of outcome.
enum ExitCode : int {
    ExitOk = 0,               ///< the command succeeded
    ExitFailed = 1,           ///< Palm Desktop answered ResponseFailed (or another failure code)
    ExitUsage = 2,            ///< the command line is wrong
    ExitNotRunning = 3,       ///< no initialised add-in: Palm Desktop is not running
    ExitClosed = 4,           ///< Palm Desktop closed during the command (ResponsePalmDesktopClosed)
    ExitBadInput = 5,         ///< the input is not valid JSON records, or text cannot travel
    ExitChannel = 6,          ///< the command channel cannot be opened
    ExitNoAnswer = 7,         ///< Palm Desktop did not answer within the time limit
};

/// A failure that ends the tool with `code` after printing the message.
class Failure : public std::runtime_error {
public:
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const noexcept { return code_; }

private:
    ExitCode code_;
};

/// Input that cannot become records; the message says where and why.
inline Failure badInput(const std::string& message) { return Failure(ExitBadInput, message); }

}  // namespace cli
