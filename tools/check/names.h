// What Windows and setup's own files can hold as the name of an installed file, a folder or
// a start-menu entry. Names are Shift-JIS bytes, scanned a character at a time.
#ifndef ZELK_TOOLS_NAMES_H
#define ZELK_TOOLS_NAMES_H

#include <string>

enum class NameUse {
    kInstalledFile,  // a file setup writes and lists in the uninstall record
    kRelativeFile,   // the same, with folders before it ("save\\score.dat", ADDFILE)
    kFolder,         // a folder setup creates (BASENAME); folders before it allowed
    kShortcut,       // a shortcut file name / Program Manager item
    kGroup,          // a start-menu folder / Program Manager group
    kSource,         // a file on the medium, folders before it allowed
};

// Why Windows (or setup's record) cannot take name as used; empty when it can. The reason
// is English and quotes no part of the name other than a single ASCII character.
std::string NameProblem(const std::string& name, NameUse use);

// True when the last character of name is "_": an LZ-compressed file on the medium.
bool IsCompressedName(const std::string& name);

// The name's last component (after the last backslash that is a character of its own).
std::string LastComponent(const std::string& path);

#endif
