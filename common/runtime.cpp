// The few C library functions setup.exe and unZELK.exe call, on the system's own calls, so
// that the programs need no C runtime DLL (a clean Windows 95 or NT 3.51 has none). Linked
// into the two programs only; the unit tests use the toolchain's library instead. The
// compiler may also call memcpy, memmove and memset for copies of its own, so these must be
// plain loops that it does not turn back into such calls (the programs are built with
// -fno-tree-loop-distribute-patterns).
#include <windows.h>

#include <stdlib.h>
#include <string.h>

namespace {

// True when c occurs in set (its terminator excluded).
bool InSet(char c, const char* set) {
    for (; *set != '\0'; ++set) {
        if (*set == c) return true;
    }
    return false;
}

}  // namespace

extern "C" {

void* __cdecl malloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void __cdecl free(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

void* __cdecl memcpy(void* __restrict__ to, const void* __restrict__ from, size_t size) {
    return memmove(to, from, size);
}

void* __cdecl memmove(void* to, const void* from, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    if (out < in) {
        for (size_t i = 0; i < size; ++i) out[i] = in[i];
    } else {
        for (size_t i = size; i > 0; --i) out[i - 1] = in[i - 1];
    }
    return to;
}

void* __cdecl memset(void* to, int value, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    for (size_t i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(value);
    return to;
}

size_t __cdecl strlen(const char* s) {
    size_t length = 0;
    while (s[length] != '\0') ++length;
    return length;
}

char* __cdecl strchr(const char* s, int c) {
    for (;; ++s) {
        if (*s == static_cast<char>(c)) return const_cast<char*>(s);
        if (*s == '\0') return nullptr;
    }
}

char* __cdecl strcpy(char* __restrict__ to, const char* __restrict__ from) {
    return static_cast<char*>(memmove(to, from, strlen(from) + 1));
}

char* __cdecl strcat(char* __restrict__ to, const char* __restrict__ from) {
    strcpy(to + strlen(to), from);
    return to;
}

size_t __cdecl strspn(const char* s, const char* set) {
    size_t length = 0;
    while (s[length] != '\0' && InSet(s[length], set)) ++length;
    return length;
}

size_t __cdecl strcspn(const char* s, const char* set) {
    size_t length = 0;
    while (s[length] != '\0' && !InSet(s[length], set)) ++length;
    return length;
}

char* __cdecl strpbrk(const char* s, const char* set) {
    s += strcspn(s, set);
    return *s != '\0' ? const_cast<char*>(s) : nullptr;
}

}  // extern "C"
