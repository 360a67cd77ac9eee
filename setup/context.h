// The one record of a setup run: folders, every value of the setup script, the lists of
// files, fonts and DLLs, the required space and the folder levels the run created.
// Portable: no Windows types, so the script reader and its tests build natively.
#ifndef ZELK_SETUP_CONTEXT_H
#define ZELK_SETUP_CONTEXT_H

#include <stddef.h>
#include <stdint.h>

#include "../common/textsub.h"

constexpr int kMaxScriptFiles = 253;  // file lines a script may hold
constexpr int kFileSlots = 256;       // room for the script's files and the two built-ins
constexpr int kMaxAddFiles = 64;
constexpr int kMaxDlls = 16;
constexpr int kMaxFonts = 16;

// The two files every installation gets behind the script's own list.
extern const char kUninstallerName[];  // "unZELK.exe"
extern const char kCompanionName[];    // "rmZELK.bin"
extern const char kDefaultRecordName[];  // "unZELK.dat"

struct SetupContext {
    uint32_t requiredSize{};
    char sourceDir[kPathSize]{};
    char windowsDir[kPathSize]{};
    char destination[kPathSize]{};
    int32_t dirDepth{};
    char* title{};
    char* logo{};
    char* caption{};
    char* menuGroup{};
    char* unRegistry{};
    char* unRegDisplay{};
    char* unZelkName{};
    char* srcDirectory{};
    char* directory{};
    char baseName[kPathSize]{};
    char* fileSource[kFileSlots]{};
    char* fileMenuItem[kFileSlots]{};
    char* fileDest[kFileSlots]{};
    int32_t fileCount{};
    uint32_t fileSize[kFileSlots]{};  // installed size of each entry, as start-up measured it
    char* addFile[kMaxAddFiles]{};
    int32_t addFileCount{};
    char* appRegistry{};
    char* appVersion{};
    int32_t addSize{};
    char* dllSource[kMaxDlls]{};
    char* dllDest[kMaxDlls]{};
    int32_t dllCount{};
    char* fontSource[kMaxFonts]{};
    char* fontDest[kMaxFonts]{};
    char* fontName[kMaxFonts]{};
    int32_t fontCount{};
    char* menuUninst{};
    char systemDir[kPathSize]{};
    char fontsDir[kPathSize]{};

    // Everything zero: a context needs no code to be built, and the program's own is ready
    // before the program starts.
    constexpr SetupContext() = default;
    ~SetupContext();
    SetupContext(const SetupContext&) = delete;
    SetupContext& operator=(const SetupContext&) = delete;
};

// The program's one setup context. It lives as long as the process, whose end frees all it
// holds: it is never destroyed (setup/main.cpp).
extern SetupContext& g_setup;

// Writes the caption, followed by " セットアップ" when it fits, into buffer (size bytes).
void GetCaptionText(const SetupContext& context, char* buffer, size_t size);

// Installed name of list entry i: the destination name, or the source name when it has none.
inline const char* InstalledFileName(const SetupContext& c, int i) {
    return c.fileDest[i] ? c.fileDest[i] : c.fileSource[i];
}
inline const char* InstalledDllName(const SetupContext& c, int i) {
    return c.dllDest[i] ? c.dllDest[i] : c.dllSource[i];
}
inline const char* InstalledFontName(const SetupContext& c, int i) {
    return c.fontDest[i] ? c.fontDest[i] : c.fontSource[i];
}

#endif
