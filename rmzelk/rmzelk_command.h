// The companion's command line and the folder levels it removes. Portable, and free of the
// C runtime so that the companion can do without it.
#ifndef ZELK_RMZELK_COMMAND_H
#define ZELK_RMZELK_COMMAND_H

constexpr int kCompanionPathSize = 260;
constexpr int kCompanionMaxDepth = 1000;  // more levels than any path can hold

struct CompanionCommand {
    int depth;          // folder levels to remove, counted from the file's own folder
    const char* path;   // the uninstaller's program file: the rest of the command line
};

// Parses "<program> <depth> <path>": the program name quoted or not, the depth a decimal
// number without sign, the path absolute (drive or UNC) and running to the end, blanks
// included. False for anything else; the command then changes nothing.
bool ParseCompanionCommand(const char* commandLine, CompanionCommand* command);

// Folder level `level` of the file's folder (0 the folder itself, 1 its parent, ...) into
// out. False when the path has no such level, when it would be a drive or a drive's root,
// or when it does not fit. Shift-JIS-aware: a trail byte 0x5C is no separator.
bool CompanionFolderLevel(char* out, int size, const char* filePath, int level);

#endif
