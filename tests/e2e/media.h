// Distribution media and machine checks for the scenarios.
#ifndef ZELK_E2E_MEDIA_H
#define ZELK_E2E_MEDIA_H

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

namespace e2e {

// The bundled sample product's setup script.
std::string SampleScript();

// A distribution medium for one scenario: a fresh folder C:\zelk-media\<name> holding the
// three programs, the sample product's files (plain and compressed) and a setup.dat.
class Medium {
public:
    explicit Medium(const std::string& name, const std::string& script = SampleScript());
    const std::string& folder() const { return folder_; }
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

    void WriteScript(const std::string& text) const;
    void WriteFile(const std::string& name, const std::string& contents) const;
    void RemoveFile(const std::string& name) const;

    // setup.exe started from the medium, with the medium as its current folder.
    Process StartSetup() const;

private:
    std::string folder_;
};

// Folder of the driver's own program file.
std::string DriverFolder();
// The Windows build folder (setup.exe, unZELK.exe, rmZELK.bin, built test files).
std::string BuildFolder();
// The bundled sample product's plain files.
std::string SampleFolder();

// ---- what is on the machine ----
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
std::string ReadWholeFile(const std::string& path);   // empty when missing
void WriteWholeFile(const std::string& path, const std::string& contents);
DWORD Attributes(const std::string& path);             // INVALID_FILE_ATTRIBUTES when missing
// Removes a folder and everything in it (read-only files too); nothing when missing.
void RemoveTree(const std::string& path);

bool RegistryKeyExists(HKEY root, const std::string& key);
// The value's text, or "<missing>".
std::string RegistryString(HKEY root, const std::string& key, const std::string& value);
// A REG_DWORD value, or -1 when it is missing or of another type.
long long RegistryDword(HKEY root, const std::string& key, const std::string& value);
void DeleteRegistryTree(HKEY root, const std::string& key);

// Puts the machine back as a fresh prefix has it for everything an installation of the
// sample (or a scenario's script) touches: known destinations, the Uninstall entries,
// the maker's keys, start-menu groups.
void ResetMachine();

}  // namespace e2e

#endif
