// Path and text helpers. All scans walk the string character by character so that the
// second byte of a Shift-JIS character is never mistaken for a backslash.
#include "textsub.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

size_t CharacterLength(const char* p) {
    return (IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0') ? 2 : 1;
}

// The rest of text after prefix when text begins with it, ASCII letters of either case
// alike; null when it does not. A double-byte character of the prefix is matched byte for
// byte: its second byte may look like a letter but is none.
static const char* AfterPrefixAnyCase(const char* text, const char* prefix) {
    for (const char* character = prefix; *prefix != '\0'; ++prefix, ++text) {
        unsigned char x = *prefix;
        unsigned char y = *text;
        // The same byte, or a character's one byte that is a letter in its two cases, which
        // differ in the bit 0x20 alone.
        if (x != y && (prefix != character || (x ^ y) != 0x20 || static_cast<unsigned char>((x | 0x20) - 'a') > 'z' - 'a')) {
            return nullptr;
        }
        if (prefix == character) character += CharacterLength(prefix);
    }
    return text;
}

bool SameTextAnyCase(const char* a, const char* b) {
    const char* rest = AfterPrefixAnyCase(a, b);
    return rest != nullptr && *rest == '\0';
}

const char* FindLastSeparator(const char* s) {
    const char* last = nullptr;
    for (const char* p = s; *p; p += CharacterLength(p)) {
        if (*p == '\\') last = p;
    }
    return last;
}

bool EndsWithSeparator(const char* s) {
    const char* last = FindLastSeparator(s);
    return last != nullptr && last[1] == '\0';
}

bool CopyString(char* out, size_t size, const char* s) {
    size_t length = strlen(s);
    if (length >= size) {
        if (size > 0) out[0] = '\0';
        return false;
    }
    memmove(out, s, length + 1);
    return true;
}

bool AppendString(char* out, size_t size, const char* s) {
    size_t used = strlen(out);
    size_t length = strlen(s);
    if (used + length >= size) {
        out[0] = '\0';
        return false;
    }
    memcpy(out + used, s, length + 1);
    return true;
}

bool JoinText(char* out, size_t size, std::initializer_list<const char*> pieces) {
    size_t used = 0;
    for (const char* piece : pieces) {
        size_t length = piece ? strlen(piece) : 0;
        if (used + length >= size) {
            if (size > 0) out[0] = '\0';
            return false;
        }
        if (length > 0) memcpy(out + used, piece, length);
        used += length;
    }
    if (size == 0) return false;
    out[used] = '\0';
    return true;
}

void FormatDecimal(char (&out)[12], int value) {
    char digits[10];
    int count = 0;
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0) out[length++] = digits[--count];
    out[length] = '\0';
}

bool JoinPath(char* out, size_t size, const char* folder, const char* name) {
    size_t folderLength = strlen(folder);
    bool needSeparator = folderLength == 0 || !EndsWithSeparator(folder);
    size_t total = folderLength + (needSeparator ? 1 : 0) + strlen(name);
    if (total >= size) {
        if (size > 0) out[0] = '\0';
        return false;
    }
    // Build in a local buffer: out may be the same array as folder or name.
    char joined[kPathSize * 2];
    if (total >= sizeof joined) {
        out[0] = '\0';
        return false;
    }
    memcpy(joined, folder, folderLength);
    size_t at = folderLength;
    if (needSeparator) joined[at++] = '\\';
    strcpy(joined + at, name);
    memcpy(out, joined, total + 1);
    return true;
}

bool SplitPath(char* folder, size_t folderSize, char* name, size_t nameSize, const char* path) {
    const char* last = FindLastSeparator(path);
    const char* namePart = last ? last + 1 : path;
    size_t folderLength = last ? static_cast<size_t>(last - path) : 0;
    size_t nameLength = strlen(namePart);
    if (folderLength >= folderSize || nameLength >= nameSize) {
        if (folderSize > 0) folder[0] = '\0';
        if (nameSize > 0) name[0] = '\0';
        return false;
    }
    // The name first: folder may be the same buffer as path.
    memmove(name, namePart, nameLength + 1);
    memmove(folder, path, folderLength);
    folder[folderLength] = '\0';
    return true;
}

int GetAncestorPath(char* out, size_t size, const char* path, int n) {
    if (n <= 0) {
        size_t length = strlen(path);
        if (length >= size) return -1;  // out stays as it was
        memmove(out, path, length + 1);
        return 0;
    }
    // Separators at index 0 are never counted, as the backward scan stops at the second byte.
    int separators = 0;
    for (const char* p = path; *p; p += CharacterLength(p)) {
        if (*p == '\\' && p != path) ++separators;
    }
    if (separators < n) return -1;
    int wanted = separators - n + 1;  // position of the n-th separator from the end
    for (const char* p = path; *p; p += CharacterLength(p)) {
        if (*p == '\\' && p != path && --wanted == 0) {
            size_t length = static_cast<size_t>(p - path);
            if (length >= size) return -1;
            memmove(out, path, length);
            out[length] = '\0';
            return 0;
        }
    }
    return -1;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void TrimBlanks(char* s) {
    size_t length = strlen(s);
    while (length > 0 && IsBlank(s[length - 1])) --length;
    size_t start = 0;
    while (start < length && IsBlank(s[start])) ++start;
    memmove(s, s + start, length - start);
    s[length - start] = '\0';
}

void StripLineEnd(char* s) {
    size_t length = strlen(s);
    while (length > 0 && (s[length - 1] == '\r' || s[length - 1] == '\n')) --length;
    s[length] = '\0';
}

// Scans name component by component; with bare, a separator alone refuses it.
static bool IsConfinedName(const char* name, bool bare) {
    if (name == nullptr) return false;
    const char* component = name;
    bool dotsAndBlanks = true;
    for (const char* p = name;; p += CharacterLength(p)) {
        char c = *p;
        if (c == '\0' || c == '\\' || c == '/') {
            if (p == component || dotsAndBlanks) return false;
            if (c == '\0') return true;
            if (bare) return false;
            component = p + 1;
            dotsAndBlanks = true;
        } else if (c == ':') {
            return false;
        } else if (c != '.' && c != ' ') {
            dotsAndBlanks = false;
        }
    }
}

bool IsNameWithin(const char* name) { return IsConfinedName(name, false); }

bool IsBareName(const char* name) { return IsConfinedName(name, true); }

bool IsPathWithin(const char* path, const char* folder) {
    if (path == nullptr || folder == nullptr || folder[0] == '\0') return false;
    const char* p = AfterPrefixAnyCase(path, folder);
    if (p == nullptr) return false;
    if (*p == '\0') return true;
    // A folder that ends in a backslash ("C:\") has its separator already.
    if (!EndsWithSeparator(folder)) {
        if (*p != '\\') return false;
        ++p;
    }
    return IsNameWithin(p);
}

char* DuplicateString(const char* s) {
    if (s == nullptr) return nullptr;
    size_t size = strlen(s) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy != nullptr) memcpy(copy, s, size);
    return copy;
}

bool ReplaceExtension(char* out, size_t size, const char* path, const char* ext) {
    // The last "." anywhere in the path, also in a folder name, as fonts have always used it.
    const char* dot = nullptr;
    for (const char* p = path; *p; p += CharacterLength(p)) {
        if (*p == '.') dot = p;
    }
    size_t keep = dot ? static_cast<size_t>(dot - path) : strlen(path);
    size_t extLength = strlen(ext);
    if (keep + extLength >= size) {
        if (size > 0) out[0] = '\0';
        return false;
    }
    memmove(out, path, keep);
    memcpy(out + keep, ext, extLength + 1);
    return true;
}

int GetDriveRoot(char* out, size_t size, const char* path) {
    if (path == nullptr || path[0] == '\0' || path[1] != ':' || size < 4) return -1;
    out[0] = path[0];
    out[1] = ':';
    out[2] = '\\';
    out[3] = '\0';
    return 0;
}

int ParseDecimal(const char* s) {
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*s - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
