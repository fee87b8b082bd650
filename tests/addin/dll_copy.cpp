#include "dll_copy.h"

#include <stdexcept>

#include "tied_process.h"

DllCopy::DllCopy(const std::string& classId, const std::string& moreConfig, const std::string& folderPrefix)
    : folder_(folderPrefix) {
    addFile("Brannock.dll");
    writeTextFile(folder_.file("conn_install.cfg"), addinConfigText(classId) + moreConfig);
}

void DllCopy::addFile(const std::string& name) const {
    if (!::CopyFileA((programFolder() + name).c_str(), folder_.file(name).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + name);
}

DWORD runProgram(const std::string& commandLine, DWORD timeoutMs) { return runTiedProcess(commandLine, timeoutMs); }

DWORD runRegsvr32(const std::string& dll, bool unregister) {
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    return runProgram(std::string(system) + "\\regsvr32.exe /s " + (unregister ? "/u " : "") + "\"" + dll + "\"");
}
