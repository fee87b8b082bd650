#pragma once

// Programs (brannock_cli, the C interface's engines) and the stand-in Palm
// Desktop host as separate processes tied to the test, beside a registered
// copy of Brannock.dll with its own class identifier.

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dll_copy.h"
#include "win/unique_handle.h"

/// What one run of a program left behind.
struct CliRun {
    DWORD exitCode = static_cast<DWORD>(-1);
    std::string out, err;  ///< standard output and error
};

/// A started process with its standard output and error in files; killed
/// when it still runs at the end.
class ChildProcess {
public:
    ChildProcess(const std::string& commandLine, const std::string& outPath, const std::string& errPath);
    ~ChildProcess();
    /// The exit code, or -1 when it has not ended after `timeoutMs`.
    DWORD wait(DWORD timeoutMs);
    /// The process identifier.
    DWORD id() const { return ::GetProcessId(process_.get()); }

private:
    win::UniqueHandle process_;
};

/// Brannock.dll (configured for `classId` and, when `registered`,
/// registered), brannock_cli.exe and standin_host.exe in a folder of their own.
class CliSetup {
public:
    explicit CliSetup(const std::string& classId, bool registered = true);
    ~CliSetup();
    const DllCopy& files() const { return copy_; }
    /// Runs the folder's program `name` with `arguments` (ANSI) for at most `timeoutMs`.
    CliRun run(const std::string& name, const std::string& arguments, DWORD timeoutMs = 90000) const;
    /// Runs brannock_cli likewise.
    CliRun cli(const std::string& arguments) const { return run("brannock_cli.exe", arguments); }
    /// Writes `text` into the folder's file `name`; returns its path.
    std::string writeFile(const std::string& name, const std::string& text) const;

private:
    DllCopy copy_;
    bool registered_;
    mutable int runs_ = 0;
};

/// A test suite that one stand-in host serves (seeded from a data file,
/// stopped through a named event), its tests in the order written.
class HostSuite : public ::testing::Test {
protected:
    /// Sets up the folder for `classId` with the `programs`, writes `data` as
    /// the host's data file, starts the host and waits until its add-in
    /// signals the initialize event.
    static void startHost(const char* classId, const std::string& data, const std::string& moreArguments = {},
                          std::initializer_list<const char*> programs = {});
    /// Sets the stop event and waits; the host's exit code, or -1.
    static DWORD stopHost();
    static void TearDownTestSuite();
    void SetUp() override { ASSERT_TRUE(running) << "the stand-in host did not start"; }

    static std::unique_ptr<CliSetup> setup;
    static std::unique_ptr<ChildProcess> host;
    static std::string dataFile;
    static bool running;
};
