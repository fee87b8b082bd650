#pragma once

// Files for tests that load Brannock.dll: fresh folders, a copy of the DLL
// with its own "conn_install.cfg", and programs run tied to the test.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tied_process.h"

/// A fresh folder under the temporary directory whose name starts with
/// `prefix`, removed with its files when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "brannock-") {
        for (unsigned attempt = ::GetTickCount() ^ ::GetCurrentProcessId();; ++attempt) {
            path_ = (std::filesystem::temp_directory_path() / (prefix + std::to_string(attempt))).string() + "\\";
            if (std::filesystem::create_directory(path_)) return;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    /// The folder's path, ending with a backslash.
    const std::string& path() const { return path_; }
    /// The path of `name` inside the folder.
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

/// Writes `text` to the file at `path`, replacing it.
inline void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

/// The whole text of the file at `path`; empty when it cannot be read.
inline std::string readTextFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

/// A configuration file naming `classId` under the add-in's key.
inline std::string addinConfigText(const std::string& classId) {
    return "[Palm handheld]\r\nBrannock.dll=" + classId + "\r\n";
}

/// Brannock.dll copied into a folder of its own (named starting with
/// `folderPrefix`) with a "conn_install.cfg" naming `classId` followed by
/// the lines `moreConfig`.
class DllCopy {
public:
    explicit DllCopy(const std::string& classId, const std::string& moreConfig = {},
                     const std::string& folderPrefix = "brannock-")
        : folder_(folderPrefix) {
        addFile("Brannock.dll");
        writeTextFile(folder_.file("conn_install.cfg"), addinConfigText(classId) + moreConfig);
    }
    const TempFolder& folder() const { return folder_; }
    std::string dllPath() const { return folder_.file("Brannock.dll"); }
    /// Copies `name` from the test program's folder beside the DLL.
    void addFile(const std::string& name) const {
        char program[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, program, MAX_PATH);
        std::filesystem::copy_file(std::filesystem::path(program).parent_path() / name, folder_.file(name),
                                   std::filesystem::copy_options::overwrite_existing);
    }

private:
    TempFolder folder_;
};

/// The exported function `name` of `module` as a `Function` pointer.
template <typename Function>
Function procedure(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

/// Runs regsvr32 silently on `dll` (unregistering with `unregister`) and
/// returns its exit code.
inline DWORD runRegsvr32(const std::string& dll, bool unregister = false) {
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    return runTiedProcess(std::string(system) + "\\regsvr32.exe /s " + (unregister ? "/u " : "") + "\"" + dll + "\"",
                          60000);
}
