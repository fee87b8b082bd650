#include "dll_copy.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tied_process.h"

TempFolder::TempFolder(const std::string& prefix) {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    for (unsigned attempt = ::GetTickCount() ^ ::GetCurrentProcessId();; ++attempt) {
        path_ = std::string(base) + prefix + std::to_string(attempt) + "\\";
        if (::CreateDirectoryA(path_.c_str(), nullptr)) return;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make temp folder");
    }
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((path_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileA((path_ + found.cFileName).c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(path_.c_str());
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string readTextFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::string addinConfigText(const std::string& classId) { return "[Palm handheld]\r\nBrannock.dll=" + classId + "\r\n"; }

std::string programFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

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
