// Path and text helpers shared by setup and unZELK. Portable: no Windows headers.
//
// Paths are Shift-JIS (code page 932) strings. A lead byte (0x81-0x9F, 0xE0-0xFC) and the
// byte after it form one character, so a trail byte of 0x5C is never taken for a backslash.
// Every function that writes a path is told its buffer's size; a result that would not fit
// is a failure (false or -1) and leaves the buffer holding an empty string, never a
// shortened path.
#ifndef ZELK_COMMON_TEXTSUB_H
#define ZELK_COMMON_TEXTSUB_H

#include <stddef.h>

#include <initializer_list>

constexpr size_t kPathSize = 260;  // the system's maximum path, terminator included

// The ASCII letter c in upper case; any other byte as it is (names compared the way the
// file system and the registry compare ASCII names). One copy serves every caller: a call
// is smaller than the test it would put in place.
__attribute__((noinline)) inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True for the first byte of a Shift-JIS double-byte character.
bool IsLeadByte(unsigned char c);

// True when the two texts are the same, byte for byte.
inline bool SameBytes(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}
// True when the two texts are the same with ASCII letters of either case alike (as the file
// system and the registry compare them); a double-byte character is compared byte for byte,
// so that a trail byte is never taken for a letter.
bool SameTextAnyCase(const char* a, const char* b);

// Bytes of the character at p: 2 for a lead byte followed by a trail byte, else 1.
size_t CharacterLength(const char* p);

// Pointer to the last backslash of s that is a character of its own, or null.
const char* FindLastSeparator(const char* s);

// True when the last character of s is a backslash.
bool EndsWithSeparator(const char* s);

// Copies s into out; false (and out empty) when it does not fit.
bool CopyString(char* out, size_t size, const char* s);

// Appends s to the string in out; false (and out empty) when the result does not fit.
bool AppendString(char* out, size_t size, const char* s);

// folder + "\" + name; no backslash is added when folder already ends in one.
// An empty folder gives "\" + name.
bool JoinPath(char* out, size_t size, const char* folder, const char* name);

// Text before the last backslash into folder, text after it into name. Without a
// backslash the folder is empty and the name is the whole path.
bool SplitPath(char* folder, size_t folderSize, char* name, size_t nameSize, const char* path);

// n = 0: the path itself. Otherwise the text before the n-th backslash counted from the
// end (the first byte is never examined). -1 when the path has fewer levels or the
// result does not fit; out is then left unchanged.
int GetAncestorPath(char* out, size_t size, const char* path, int n);

// Removes leading and trailing blanks and tabs in place.
void TrimBlanks(char* s);

// Removes all trailing CR and LF bytes in place.
void StripLineEnd(char* s);

// The pieces one after another (a null piece counts as empty) into out; false (and out
// empty) when the result does not fit.
bool JoinText(char* out, size_t size, std::initializer_list<const char*> pieces);

// The decimal text of value, as "%d" writes it.
void FormatDecimal(char (&out)[12], int value);

// True for a name that, joined to a folder, stays inside it: not empty, no drive or stream
// (":"), and no component that is empty or made of dots and blanks alone ("..", and "..."
// and ". ." that some systems also take for a way up). "\" and "/" both separate
// components, as the file system reads them.
bool IsNameWithin(const char* name);

// True for a bare file name: IsNameWithin, and no folder in front of it.
bool IsBareName(const char* name);

// True when path is folder itself or lies below it: the folder's characters (ASCII letters
// in either case, as the file system compares them), then nothing, or a backslash and a
// name that IsNameWithin accepts. "C:\Game2\x" is not in "C:\Game". An empty folder
// holds nothing.
bool IsPathWithin(const char* path, const char* folder);

// Heap copy (malloc) of s, or null for a null s or when memory runs out.
char* DuplicateString(const char* s);

// Copies path and replaces everything from its last "." by ext (or appends ext).
bool ReplaceExtension(char* out, size_t size, const char* path, const char* ext);

// "X:\" for a path that starts with a byte and ":"; -1 otherwise (out not written).
int GetDriveRoot(char* out, size_t size, const char* path);

// Reads a decimal number the way the standard atoi does, without undefined behaviour on
// overflow (the value saturates).
int ParseDecimal(const char* s);

// Convenience forms for fixed arrays: the size comes from the array.
template <size_t N> inline bool CopyString(char (&out)[N], const char* s) { return CopyString(out, N, s); }
template <size_t N> inline bool AppendString(char (&out)[N], const char* s) { return AppendString(out, N, s); }
template <size_t N> inline bool JoinPath(char (&out)[N], const char* folder, const char* name) {
    return JoinPath(out, N, folder, name);
}
template <size_t N, size_t M>
inline bool SplitPath(char (&folder)[N], char (&name)[M], const char* path) {
    return SplitPath(folder, N, name, M, path);
}
template <size_t N> inline int GetAncestorPath(char (&out)[N], const char* path, int n) {
    return GetAncestorPath(out, N, path, n);
}
template <size_t N> inline bool ReplaceExtension(char (&out)[N], const char* path, const char* ext) {
    return ReplaceExtension(out, N, path, ext);
}
template <size_t N> inline int GetDriveRoot(char (&out)[N], const char* path) {
    return GetDriveRoot(out, N, path);
}

#endif
