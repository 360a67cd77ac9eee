// What a try-out compares: every file and folder on drive C: and the registry keys an
// installation touches, as one sorted map from a name to what identifies its content.
#ifndef ZELK_TOOLS_TRYOUT_SNAPSHOT_H
#define ZELK_TOOLS_TRYOUT_SNAPSHOT_H

#include <map>
#include <string>
#include <vector>

namespace tryout {

// Files:    "C:\path"                 -> "<folder>" or "12345 bytes, 2026-12-07 09:39:01[, read-only]"
// Registry: "HKLM\key"                -> "<key>"
//           "HKLM\key : value name"   -> "REG_SZ text" and so on
using Snapshot = std::map<std::string, std::string>;

// The uninstall list, the maker's keys under both roots, the NT Fonts key and the
// delete-at-restart list of NT.
extern const char kUninstallKey[];
extern const char kFontsKey[];

Snapshot TakeSnapshot();

// One line per entry, tabs and line breaks escaped; false when the file cannot be written
// or read.
bool SaveSnapshot(const Snapshot& snapshot, const std::string& path);
bool LoadSnapshot(const std::string& path, Snapshot& snapshot);

struct Difference {
    char kind;             // '+' added, '-' gone, '~' changed
    std::string name;
    std::string before;    // empty for '+'
    std::string after;     // empty for '-'
};
std::vector<Difference> Compare(const Snapshot& before, const Snapshot& after);

bool IsRegistryName(const std::string& name);   // starts with HKLM\ or HKCU\ .

}  // namespace tryout

#endif
