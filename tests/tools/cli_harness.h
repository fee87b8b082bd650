#pragma once

// brannock_cli and the stand-in Palm Desktop host as separate processes,
// beside a registered copy of Brannock.dll with its own class identifier.

#include <windows.h>

#include <memory>
#include <string>

#include "dll_copy.h"
#include "win/unique_handle.h"

/// What one run of brannock_cli left behind.
struct CliRun {
    DWORD exitCode = static_cast<DWORD>(-1);
    std::string out;  ///< standard output
    std::string err;  ///< standard error
};

/// A started process with its standard output and error in files.
class ChildProcess {
public:
    /// Starts `commandLine`; its output goes to `outPath` and `errPath`.
    ChildProcess(const std::string& commandLine, const std::string& outPath, const std::string& errPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return bool(process_); }
    /// Waits for the end; the exit code, or -1 after `timeoutMs`.
    DWORD wait(DWORD timeoutMs);
    /// The process identifier.
    DWORD id() const { return ::GetProcessId(process_.get()); }

private:
    win::UniqueHandle process_;
};

/// Brannock.dll, brannock_cli.exe and standin_host.exe in a folder of their
/// own, the DLL configured for `classId` and, when `registered`, registered.
class CliSetup {
public:
    explicit CliSetup(const std::string& classId, bool registered = true);
    ~CliSetup();
    const DllCopy& files() const { return copy_; }
    /// Runs brannock_cli with `arguments` (a command line in the ANSI code
    /// page) and waits at most `timeoutMs`.
    CliRun cli(const std::string& arguments, DWORD timeoutMs = 90000) const;
    /// Runs the program `name` of the folder with `arguments` likewise.
    CliRun run(const std::string& name, const std::string& arguments, DWORD timeoutMs = 90000) const;
    /// The command line of brannock_cli with `arguments`.
    std::string cliCommand(const std::string& arguments) const;
    /// Writes `text` into the file `name` of the folder; returns its path.
    std::string writeFile(const std::string& name, const std::string& text) const;

private:
    DllCopy copy_;
    bool registered_;
    mutable int runs_ = 0;
};

/// A stand-in Palm Desktop host, seeded from a data file, stopped through a
/// named event.
class HostProcess {
public:
    /// Starts the host of `setup` with `dataFile` (and `moreArguments` for
    /// standin_host) and waits until its add-in signals the initialize event.
    HostProcess(const CliSetup& setup, const std::string& classId, const std::string& dataFile,
                const std::string& moreArguments = {});
    /// Stops the host when it still runs.
    ~HostProcess();
    /// Whether the add-in came up (the initialize event exists).
    bool running() const { return running_; }
    /// Sets the stop event and waits; the host's exit code, or -1.
    DWORD stop();
    /// The host's process identifier.
    DWORD processId() const { return process_->id(); }

private:
    win::UniqueHandle stopEvent_;
    std::unique_ptr<ChildProcess> process_;
    bool running_ = false;
    bool stopped_ = false;
};

/// Whether the add-in's initialize event exists.
bool palmDesktopInitialised();
