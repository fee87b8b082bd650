#pragma once

// Files for tests that load Brannock.dll: fresh folders, a copy of the DLL
// with its own "conn_install.cfg", and programs run tied to the test.

#include <windows.h>

#include <string>

/// A fresh folder under the temporary directory, removed with its files
/// when the object goes.
class TempFolder {
public:
    /// A folder whose name starts with `prefix`.
    explicit TempFolder(const std::string& prefix = "brannock-");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    /// The folder's path, ending with a backslash.
    const std::string& path() const { return path_; }
    /// The path of `name` inside the folder.
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

/// Writes `text` to the file at `path`, replacing it.
void writeTextFile(const std::string& path, const std::string& text);
/// The whole text of the file at `path`; empty when it cannot be read.
std::string readTextFile(const std::string& path);
/// A configuration file naming `classId` under the add-in's key.
std::string addinConfigText(const std::string& classId);
/// The folder of the running test program, ending with a backslash.
std::string programFolder();

/// Brannock.dll copied into a folder of its own (named starting with
/// `folderPrefix`) with a "conn_install.cfg" naming `classId` followed by
/// the lines `moreConfig`.
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
