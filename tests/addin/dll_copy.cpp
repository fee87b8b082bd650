#include "dll_copy.h"

#include <stdexcept>

DllCopy::DllCopy(const std::string& classId, const std::string& moreConfig, const std::string& folderPrefix)
    : folder_(folderPrefix) {
    addFile("Brannock.dll");
    writeTextFile(folder_.file("conn_install.cfg"), addinConfigText(classId) + moreConfig);
}

void DllCopy::addFile(const std::string& name) const {
    if (!::CopyFileA((programFolder() + name).c_str(), folder_.file(name).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + name);
}

DWORD runProgram(const std::string& commandLine, DWORD timeoutMs) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    ::CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    return code;
}

DWORD runRegsvr32(const std::string& dll, bool unregister) {
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    return runProgram(std::string(system) + "\\regsvr32.exe /s " + (unregister ? "/u " : "") + "\"" + dll + "\"");
}
