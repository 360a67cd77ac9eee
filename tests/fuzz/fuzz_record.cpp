// Fuzz target: the uninstall record reader of both programs on arbitrary file contents.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "common/record.h"

namespace {

const char* RecordPath() {
    static char path[64];
    if (path[0] == '\0') snprintf(path, sizeof path, "/tmp/zelk_fuzz_record_%d.dat", getpid());
    return path;
}

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckList(char* const* entries, int count, int limit) {
    Check(count >= 0 && count <= limit);
    for (int i = 0; i < count; ++i) Check(entries[i] != nullptr && strlen(entries[i]) < 260);
}

void ReadWith(const RecordReaderRules& rules) {
    // Every message function is set, so that the reporting paths run as well.
    RecordSink sink{};
    sink.cannotOpen = [](void*, const char*) {};
    sink.notAllRead = [](void*) {};
    sink.invalidLine = [](void*, const char* field) { Check(strlen(field) < 260); };
    sink.outOfMemory = [](void*) {};
    UninstallRecord* record = new UninstallRecord();
    Check(ReadRecordFile(*record, RecordPath(), rules, sink) == 1);
    CheckList(record->files, record->fileCount, kRecordMaxFiles);
    CheckList(record->directories, record->directoryCount, kRecordMaxDirectories);
    CheckList(record->menuItems, record->menuItemCount, kRecordMaxMenuItems);
    CheckList(record->dlls, record->dllCount, rules.maxDlls);
    CheckList(record->fontFiles, record->fontCount, rules.maxFonts);
    CheckList(record->fontNames, record->fontCount, rules.maxFonts);
    // What the removal tells about lines it leaves alone, for a folder that the lines'
    // bytes (Shift-JIS lead bytes, "\", ".") may or may not match.
    for (const char* folder : {"C:\\Game", "C:\\\x83\x5C", "C:\\", ""}) {
        char* text = FormatForeignLines(*record, folder, "heading");
        Check(text == nullptr || strncmp(text, "heading\n\n", 9) == 0);
        free(text);
    }
    FreeUninstallRecord(*record);
    delete record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = fopen(RecordPath(), "wb");
    if (file == nullptr) return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    ReadWith(RecordReaderRules{16, 16, false});
    ReadWith(RecordReaderRules{64, 64, true});
    return 0;
}
