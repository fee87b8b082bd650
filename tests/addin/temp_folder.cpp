#include "temp_folder.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder(const std::string& prefix) {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    for (unsigned attempt = ::GetTickCount() ^ ::GetCurrentProcessId();; ++attempt) {
        std::string candidate = std::string(base) + prefix + std::to_string(attempt) + "\\";
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string addinConfigText(const std::string& classId) {
    return "[Palm handheld]\r\nBrannock.dll=" + classId + "\r\n";
}

std::string programFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
