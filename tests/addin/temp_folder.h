#pragma once

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
