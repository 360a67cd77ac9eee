// The restart list's strings, found and taken out (portable).
#include "restart.h"

#include <string.h>

#include "textsub.h"

namespace {

bool SameText(const char* a, const char* b) { return SameTextAnyCase(a, b); }

// UTF-16 units, ASCII letters in either case: no unit of another character is a letter.
bool SameText(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        wchar_t x = *a >= 'a' && *a <= 'z' ? *a - ('a' - 'A') : *a;
        wchar_t y = *b >= 'a' && *b <= 'z' ? *b - ('a' - 'A') : *b;
        if (x != y) return false;
        if (x == 0) return true;
    }
}

// Only a run's first string ends the list when empty: a deletion's target is empty too.
template <typename Char>
size_t RemoveRun(Char* list, size_t size, const Char* const* items, size_t count) {
    size_t offset = 0;
    while (offset < size && list[offset] != 0) {
        size_t end = offset;
        bool same = true;
        for (size_t i = 0; i < count; ++i) {
            size_t zero = end;
            while (zero < size && list[zero] != 0) ++zero;
            if (zero == size) return size;  // not ended within size: nothing beyond is read
            same = same && SameText(list + end, items[i]);
            end = zero + 1;
        }
        if (same) {
            memmove(list + offset, list + end, (size - end) * sizeof(Char));
            return size - (end - offset);
        }
        offset = end;
    }
    return size;
}

}  // namespace

size_t RemoveStringRun(char* list, size_t size, const char* const* items, size_t count) {
    return RemoveRun(list, size, items, count);
}

size_t RemoveStringRun(wchar_t* list, size_t size, const wchar_t* const* items, size_t count) {
    return RemoveRun(list, size, items, count);
}
