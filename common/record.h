// The uninstall record "unZELK.dat": its in-memory form and its reader. Portable: the
// reader's messages leave through a sink that each program supplies.
#ifndef ZELK_COMMON_RECORD_H
#define ZELK_COMMON_RECORD_H

#include <stdint.h>

#include "textsub.h"

constexpr int kRecordListSlots = 512;      // files, directories, menu items
constexpr int kRecordMaxFiles = 511;       // the 512th file line ends the reading
constexpr int kRecordMaxDirectories = 511;
constexpr int kRecordMaxMenuItems = 512;
constexpr int kRecordFontSlots = 64;       // room in either program; the rules cap setup's at 16

struct UninstallRecord {
    char* title;
    char* menuGroup;
    char* unRegistry;
    char* appRegistry;
    char* appVersion;
    int32_t dirDepth;
    char* files[kRecordListSlots];
    int fileCount;
    char* directories[kRecordListSlots];
    int directoryCount;
    char* menuItems[kRecordListSlots];
    int menuItemCount;
    char* dlls[kRecordFontSlots];
    int dllCount;
    char* fontFiles[kRecordFontSlots];
    char* fontNames[kRecordFontSlots];
    int fontCount;
};

// The program's one record (zero-initialised static storage).
extern UninstallRecord g_record;

// What differs between setup's silent reader and unZELK's talkative one.
struct RecordReaderRules {
    int maxDlls;            // setup 16, unZELK 64
    int maxFonts;           // setup 16, unZELK 64
    bool reportProblems;    // unZELK: unreadable file, invalid lines, lists cut short
};

// The reader's messages. Each function may be null (nothing is shown).
struct RecordSink {
    void (*cannotOpen)(void* user, const char* path);       // file cannot be opened
    void (*notAllRead)(void* user);                         // a list was cut short
    void (*invalidLine)(void* user, const char* field);     // unknown key, FONT without ","
    void (*outOfMemory)(void* user);
    void* user;
};

// Fills record from the file at path. 1 when the file was opened (whatever it held), 0 when
// it could not be opened.
int ReadRecordFile(UninstallRecord& record, const char* path, const RecordReaderRules& rules,
                   const RecordSink& sink);

// Frees every string of the record and sets the pointers to null (counts stay).
void FreeUninstallRecord(UninstallRecord& record);

// ---- what the record may steer ----
// The record lies in the product's folder, where users may be able to change it, and the
// removal runs with the rights of whoever installed. Setup writes only paths in the
// record's own folder, bare names of DLLs and fonts, and start-menu names that stay in
// the Programs folder; the removal acts on such lines alone and names the others.

// The folder that the record at recordPath may name paths in; empty (no path is the
// product's) when recordPath is no full path ("X:\..." or "\\server\...").
void GetRecordFolder(char (&folder)[kPathSize], const char* recordPath);

// A file or Directory line: the record's folder itself or a path below it.
inline bool IsOwnPath(const char* path, const char* recordFolder) { return IsPathWithin(path, recordFolder); }
// A Dll line or a font's file: a bare file name.
inline bool IsOwnFileName(const char* name) { return IsBareName(name); }
// A MenuGroup or MenuItem line: a name that stays in the folder it is joined to.
inline bool IsOwnMenuName(const char* name) { return IsNameWithin(name); }

constexpr int kForeignLinesListed = 16;

// What the user is told about the lines that are not acted on: heading, a blank line, up
// to kForeignLinesListed of them as the record has them ("Dll=..\x.dll"), one a line, and
// a line that counts the rest. A heap text (the caller frees it); null when every line is
// the product's own, or when memory runs out. Empty lines name nothing and are not listed.
char* FormatForeignLines(const UninstallRecord& record, const char* recordFolder, const char* heading);

// Cuts text at the separators like strtok, trims each token; keeps two fields of
// kPathSize bytes and returns how many tokens it found (0 to 3).
int SplitFields(const char* text, const char* separators, char (&first)[260], char (&second)[260]);

#endif
