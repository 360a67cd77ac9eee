// The companion's command line and folder levels (portable, no C runtime calls).
#include "rmzelk_command.h"

#include "common/command.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Bytes of the character at p: a lead byte and its trail byte are one character.
int CharLength(const char* p) { return (IsLead(static_cast<unsigned char>(p[0])) && p[1] != '\0') ? 2 : 1; }

int Length(const char* s) {
    int n = 0;
    while (s[n] != '\0') ++n;
    return n;
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "X:\..." or "\\server\...".
bool IsAbsolute(const char* path) {
    if (IsLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
    return path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
}

}  // namespace

bool ParseCompanionCommand(const char* commandLine, CompanionCommand* command) {
    if (commandLine == nullptr) return false;
    const char* p = SkipProgramName(commandLine);
    if (*p < '0' || *p > '9') return false;
    int depth = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        depth = depth * 10 + (*p - '0');
        if (depth > kCompanionMaxDepth) return false;
    }
    if (!IsBlank(*p)) return false;
    p = SkipBlanks(p);
    if (!IsAbsolute(p) || Length(p) >= kCompanionPathSize) return false;
    command->depth = depth;
    command->path = p;
    return true;
}

bool CompanionFolderLevel(char* out, int size, const char* filePath, int level) {
    if (level < 0) return false;
    // Separators from the end: the last one ends the folder (level 0), the one before it
    // its parent, and so on. The first byte is never taken as a separator.
    int separators = 0;
    for (const char* p = filePath; *p; p += CharLength(p)) {
        if (*p == '\\' && p != filePath) ++separators;
    }
    if (separators <= level) return false;
    int wanted = separators - level;
    int length = 0;
    for (const char* p = filePath; *p; p += CharLength(p)) {
        if (*p == '\\' && p != filePath && --wanted == 0) {
            length = static_cast<int>(p - filePath);
            break;
        }
    }
    // A drive ("X:") or anything shorter is never a folder level of an installation; nor is
    // the "\\server" part of a network path.
    if (length < 3 || (filePath[0] == '\\' && filePath[1] == '\\' && level >= separators - 2)) {
        return false;
    }
    if (length >= size) return false;
    for (int i = 0; i < length; ++i) out[i] = filePath[i];
    out[length] = '\0';
    return true;
}
