// Destruction of the setup context, and the caption text.
#include "context.h"

#include <stdlib.h>
#include <string.h>

const char kUninstallerName[] = "unZELK.exe";
const char kCompanionName[] = "rmZELK.bin";
const char kDefaultRecordName[] = "unZELK.dat";

SetupContext::~SetupContext() {
    char** singles[] = {&title, &logo, &caption, &menuGroup, &unRegistry, &unRegDisplay,
                        &unZelkName, &srcDirectory, &directory, &appRegistry, &appVersion,
                        &menuUninst};
    for (char** single : singles) free(*single);
    // Only the script's own entries: the two built-ins behind them are constant strings.
    for (int i = 0; i < fileCount; ++i) {
        free(fileSource[i]);
        free(fileMenuItem[i]);
        free(fileDest[i]);
    }
    for (int i = 0; i < addFileCount; ++i) free(addFile[i]);
    for (int i = 0; i < dllCount; ++i) {
        free(dllSource[i]);
        free(dllDest[i]);
    }
    for (int i = 0; i < fontCount; ++i) {
        free(fontSource[i]);
        free(fontDest[i]);
        free(fontName[i]);
    }
}

void GetCaptionText(const SetupContext& context, char* buffer, size_t size) {
    static const char kSuffix[] = " セットアップ";
    if (size == 0) return;
    const char* caption = context.caption ? context.caption : "";
    size_t length = strlen(caption);
    if (length >= size) {
        // Cut so that the copy always fits: size - 2 bytes of the caption.
        size_t keep = size >= 2 ? size - 2 : 0;
        memcpy(buffer, caption, keep);
        buffer[keep] = '\0';
        return;
    }
    memcpy(buffer, caption, length + 1);
    if (length + strlen(kSuffix) + 1 < size) strcat(buffer, kSuffix);
}
