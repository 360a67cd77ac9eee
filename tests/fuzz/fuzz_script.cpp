// Fuzz target: the setup script reader and its completion on arbitrary file contents.
// Checks that the context stays consistent whatever the script holds.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "setup/script.h"

namespace {

const char* ScriptPath() {
    static char path[64];
    if (path[0] == '\0') snprintf(path, sizeof path, "/tmp/zelk_fuzz_script_%d.dat", getpid());
    return path;
}

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckContext(const SetupContext& c) {
    Check(c.fileCount >= 0 && c.fileCount <= kMaxScriptFiles);
    Check(c.addFileCount >= 0 && c.addFileCount <= kMaxAddFiles);
    Check(c.dllCount >= 0 && c.dllCount <= kMaxDlls);
    Check(c.fontCount >= 0 && c.fontCount <= kMaxFonts);
    Check(strcmp(c.fileSource[c.fileCount], kUninstallerName) == 0);
    Check(strcmp(c.fileSource[c.fileCount + 1], kCompanionName) == 0);
    for (int i = 0; i < c.fileCount; ++i) Check(c.fileSource[i] != nullptr);
    for (int i = 0; i < c.fontCount; ++i) Check(c.fontSource[i] && c.fontName[i]);
    Check(strlen(c.destination) < kPathSize && strlen(c.baseName) < kPathSize);
}

// The line handler (the publisher's checker uses one): lines in order, pieces that fit a
// line buffer, list indexes within their lists.
void CheckLine(void* user, const ScriptLine& line) {
    int* lastLine = static_cast<int*>(user);
    Check(line.lineNumber >= *lastLine && line.lineNumber >= 1);
    Check(strlen(line.text) < kPathSize);
    Check(line.index >= -1 && line.index < kMaxScriptFiles);
    Check(!line.stopped || line.kind != ScriptLineKind::kSkipped);
    *lastLine = line.lineNumber;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = fopen(ScriptPath(), "wb");
    if (file == nullptr) return 0;
    fwrite(data, 1, size, file);
    fclose(file);

    SetupContext* context = new SetupContext();
    strcpy(context->windowsDir, "C:\\WINDOWS");
    strcpy(context->sourceDir, "D:\\SETUP");
    // Half of the inputs are read as setup reads them, half with the checker's line handler.
    int lastLine = 0;
    ScriptReport silent{nullptr, &lastLine, size % 2 ? CheckLine : nullptr};
    if (ReadSetupScript(*context, ScriptPath(), silent) == 0) {
        CheckContext(*context);
        if (CompleteSetupScript(*context, silent) == 0) Check(context->destination[0] != '\0');
    }
    delete context;
    return 0;
}
