// The start-up half of the installation sequence: folders, script, earlier installation and
// the disk space the installation needs.
#include "setup.h"

#include <lzexpand.h>

#include "common/system.h"
#include "ids.h"
#include "setup_api.h"
#include "common/wintext.h"

static void ShowScriptMessage(void*, int stringId, int) { ShowMessage(nullptr, stringId); }

ScriptReport MessageBoxScriptReport() { return ScriptReport{ShowScriptMessage, nullptr}; }

int PrepareFolders(SetupContext& context) {
    char modulePath[kPathSize];
    DWORD length = win::GetModuleFileName(GetSetupInstance(), modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) {
        // Relative names then resolve against the process's current directory.
        ShowApiError("GetModuleFileName");
    } else {
        char name[kPathSize];
        SplitPath(context.sourceDir, name, modulePath);
        win::SetCurrentDirectory(context.sourceDir);
    }

    length = win::GetWindowsDirectory(context.windowsDir, sizeof context.windowsDir);
    if (length == 0 || length >= sizeof context.windowsDir) {
        context.windowsDir[0] = '\0';
        ShowApiError("GetWindowsDirectory");
        return -1;
    }
    // On NT, fonts and DLLs both go to the Windows folder's SYSTEM subfolder.
    bool nt = IsWindowsNT();
    if (!JoinPath(context.fontsDir, context.windowsDir, nt ? "SYSTEM" : "FONTS")) {
        ShowApiError("GetWindowsDirectory");
        return -1;
    }
    if (nt) {
        if (!JoinPath(context.systemDir, context.windowsDir, "SYSTEM")) {
            ShowApiError("GetWindowsDirectory");
            return -1;
        }
        return 0;
    }
    length = win::GetSystemDirectory(context.systemDir, sizeof context.systemDir);
    if (length == 0 || length >= sizeof context.systemDir) {
        context.systemDir[0] = '\0';
        ShowApiError("GetSystemDirectory");
        return -1;
    }
    return 0;
}

static int ReadScript(SetupContext& context) {
    return ReadSetupScript(context, "setup.dat", MessageBoxScriptReport());
}

static int CompleteScript(SetupContext& context) {
    return CompleteSetupScript(context, MessageBoxScriptReport());
}

const SetupStep kPrepareSteps[5] = {
    {"folders", PrepareFolders},
    {"script", ReadScript},
    {"script defaults", CompleteScript},
    {"earlier installation", ReadPreviousInstall},
    {"required size", ComputeRequiredSize},
};

int PrepareSetupContext(SetupContext& context) { return RunSteps(kPrepareSteps, context, false); }

// The literal file-missing box of the start-up checks (owner: none yet).
static void ReportMissingFile(const char* path) {
    char format[64];
    char caption[32];
    char text[kPathSize + 64];
    wsprintfA(text, LoadText(IDS_MISSING_FILE, format, sizeof format), path);
    g_messageBox(GetSetupWindow(), text, LoadText(IDS_CAPTION, caption, sizeof caption), MB_OK);
}

// Joins srcDirectory and name. A path too long to exist, or a name that could not be kept
// for lack of memory, counts as a missing file.
static bool SourcePath(const SetupContext& context, const char* name, char (&path)[kPathSize]) {
    if (name != nullptr && JoinPath(path, context.srcDirectory, name)) return true;
    ReportMissingFile(name ? name : "");
    return false;
}

// The size of the file's data once expanded: for a file compressed in the LZ format its
// expanded size, for any other file its size. -1 when it cannot be opened. The file is
// opened with CreateFile and handed to LZInit, because LZOpenFile takes no path of 128
// bytes or more.
static LONG ExpandedSize(const char* path) {
    HANDLE file = win::CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    INT expander = sys::LZInit(static_cast<INT>(HandleToLong(file)));
    if (expander < 0) {
        CloseHandle(file);
        return -1;
    }
    LONG size = sys::LZSeek(expander, 0, 2);
    sys::LZClose(expander);  // closes the file as well
    return size;
}

// A size no file of the list can have: not measured yet.
constexpr uint32_t kUnmeasured = 0xFFFFFFFF;

// A listed file's size, for each entry of the file list that names it. A name the listing
// does not show (in a subfolder, or in another case than that of ASCII letters) stays
// unmeasured, as does a file of 4 GB or more.
static void TakeListedSize(const char* name, const win::FoundEntry& entry, void* listed) {
    SetupContext& context = *static_cast<SetupContext*>(listed);
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) || entry.sizeHigh != 0) return;
    for (int i = 0; i < context.fileCount + 2; ++i) {
        if (SameTextAnyCase(context.fileSource[i], name)) context.fileSize[i] = entry.sizeLow;
    }
}

// The installed size of each file: a plain file's size (the copy engine copies it as it is),
// a compressed file's expanded size. Every DLL and font must be on the medium too.
int ComputeRequiredSize(SetupContext& context) {
    // One listing of the source folder measures its files, where opening each would cost
    // an open of its own (and a seek on a CD).
    for (int i = 0; i < context.fileCount + 2; ++i) context.fileSize[i] = kUnmeasured;
    char path[kPathSize];
    if (JoinPath(path, context.srcDirectory, "*")) win::ListFolder(path, TakeListedSize, &context);
    context.requiredSize = static_cast<uint32_t>(context.addSize) * 1024u;
    for (int i = 0; i < context.fileCount + 2; ++i) {
        if (!SourcePath(context, context.fileSource[i], path)) return -1;
        if (context.fileSize[i] == kUnmeasured || IsCompressedName(path)) {
            LONG size = ExpandedSize(path);
            if (size < 0) {
                ReportMissingFile(path);
                return -1;
            }
            context.fileSize[i] = static_cast<uint32_t>(size);
        }
        context.requiredSize += context.fileSize[i];
    }

    for (int i = 0; i < context.dllCount + context.fontCount; ++i) {
        const char* name = i < context.dllCount ? context.dllSource[i] : context.fontSource[i - context.dllCount];
        if (!SourcePath(context, name, path)) return -1;
        if (!FileExists(path)) {
            ReportMissingFile(path);
            return -1;
        }
    }
    return 0;
}
