#pragma once

// The stand-in Palm Desktop host and programs beside it (brannock_cli, C engines) as processes tied to the test,
// next to a registered copy of Brannock.dll with its own class identifier.

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

/// A started process with its standard output and error in files; killed when it still runs at the end.
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

/// A test suite that one stand-in host serves (seeded from a data file, stopped through a named event), its
/// tests in the order written.
class HostSuite : public ::testing::Test {
protected:
    /// Registers a copy of Brannock.dll for `classId` beside brannock_cli.exe, standin_host.exe and `programs`,
    /// writes `data` as the host's data file, starts the host and waits for its add-in's initialize event.
    static void startHost(const char* classId, const std::string& data, const std::string& moreArguments = {},
                          std::initializer_list<const char*> programs = {});
    /// Sets the stop event and waits; the host's exit code, or -1.
    static DWORD stopHost();
    static void TearDownTestSuite();
    void SetUp() override { ASSERT_TRUE(started) << "the stand-in host did not start"; }
    /// Runs the folder's program `name` with `arguments` (ANSI).
    static CliRun run(const std::string& name, const std::string& arguments);
    /// Writes `text` into the folder's file `name`; returns its path.
    static std::string writeFile(const std::string& name, const std::string& text);

    static std::unique_ptr<DllCopy> files;
    static std::unique_ptr<ChildProcess> host;
    static std::string dataFile;
    static bool started, running;
};
