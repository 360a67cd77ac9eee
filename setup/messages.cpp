// The message helpers of setup: string-table boxes, the fatal error, the title put into a
// text, and the centring that every dialog of setup does.
#include "setup.h"

#include <stdlib.h>
#include <string.h>

#include "common/system.h"
#include "ids.h"
#include "common/wintext.h"

void CenterWindow(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    MoveWindow(window, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, TRUE);
}

int ShowMessage(HWND owner, int stringId) {
    char caption[64];
    char text[512];
    if (win::LoadString(IDS_CAPTION, caption, sizeof caption) == 0 ||
        win::LoadString(stringId, text, sizeof text) == 0) {
        FatalError("Can't load string");
    }
    int result = g_messageBox(owner, text, caption, MB_OK | MB_ICONEXCLAMATION);
    if (result == 0) FatalError(nullptr);
    return result;
}

void FatalError(const char* text) {
    if (text != nullptr) g_messageBox(nullptr, text, "致命的エラー", MB_OK);
    exit(1);  // the normal exit, so that the setup context frees what it holds
}

// Number of bytes of the longest run of whole characters at the start of s that is at most
// limit bytes long.
static size_t WholeCharacters(const char* s, size_t limit) {
    size_t length = 0;
    while (s[length] != '\0') {
        size_t step = CharacterLength(s + length);
        if (length + step > limit) break;
        length += step;
    }
    return length;
}

// Walks format, handing each literal run and each "%s" to the callbacks.
template <typename Literal, typename Insert>
static void WalkFormat(const char* format, Literal literal, Insert insert) {
    const char* run = format;
    const char* p = format;
    while (*p != '\0') {
        if (p[0] == '%' && (p[1] == 's' || p[1] == '%')) {
            literal(run, static_cast<size_t>(p - run));
            if (p[1] == 's') {
                insert();
            } else {
                literal(p, 1);
            }
            p += 2;
            run = p;
        } else {
            p += CharacterLength(p);
        }
    }
    literal(run, static_cast<size_t>(p - run));
}

int SubstituteText(char* out, size_t size, const char* format, const char* text) {
    if (size == 0) return -1;
    size_t fixed = 0;
    size_t inserts = 0;
    WalkFormat(format, [&](const char*, size_t n) { fixed += n; }, [&] { ++inserts; });

    // Every insert gets the same share of the room the fixed text leaves.
    size_t textLength = strlen(text);
    if (inserts > 0 && fixed < size - 1 && textLength * inserts > size - 1 - fixed) {
        textLength = WholeCharacters(text, (size - 1 - fixed) / inserts);
    }
    size_t used = 0;
    auto append = [&](const char* s, size_t n) {
        size_t room = size - 1 - used;
        if (n > room) n = WholeCharacters(s, room);
        memcpy(out + used, s, n);
        used += n;
    };
    WalkFormat(format, append, [&] { append(text, textLength); });
    out[used] = '\0';
    return 0;
}

int FormatTitleString(char* out, size_t size, int stringId) {
    char format[512];
    if (win::LoadString(stringId, format, sizeof format) == 0) {
        ShowApiError("LoadString");
        if (size > 0) out[0] = '\0';
        return -1;
    }
    return SubstituteText(out, size, format, g_setup.title != nullptr ? g_setup.title : "");
}
