#pragma once

#include <windows.h>

#include <string>

#include "temp_folder.h"

/// Brannock.dll copied into a folder of its own (named starting with
/// `folderPrefix`) with a "conn_install.cfg" naming `classId` (and holding
/// the lines `moreConfig` of the same section), so that a test controls the
/// DLL's identity.
class DllCopy {
public:
    explicit DllCopy(const std::string& classId, const std::string& moreConfig = {},
                     const std::string& folderPrefix = "brannock-");
    /// The folder holding the copy.
    const TempFolder& folder() const { return folder_; }
    /// The full path of the copy.
    std::string dllPath() const { return folder_.file("Brannock.dll"); }
    /// Copies `name` from the test programs' folder beside the DLL.
    void addFile(const std::string& name) const;

private:
    TempFolder folder_;
};

/// The exported function `name` of `module` as a `Function` pointer.
template <typename Function>
Function procedure(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

/// Runs `commandLine` and returns its exit code (or -1 when it cannot start).
DWORD runProgram(const std::string& commandLine, DWORD timeoutMs = 60000);

/// Runs regsvr32 silently on `dll` (unregistering with `unregister`) and
/// returns its exit code.
DWORD runRegsvr32(const std::string& dll, bool unregister = false);
