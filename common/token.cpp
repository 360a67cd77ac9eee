// The line splitter of the setup script (portable).
#include "token.h"

#include <stdlib.h>
#include <string.h>

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

// Tokens are cut as the standard strtok cuts them. The separators used ("=", ",", ">") are
// below 0x40 and can never be the second byte of a Shift-JIS character, so a byte scan is
// safe here.
int Tokenizer::Split(const char* line, const char* separators) {
    fields_[0][0] = '\0';
    fields_[1][0] = '\0';
    int count = 0;
    const char* p = line;
    while (count < 2) {
        p += strspn(p, separators);
        if (*p == '\0') break;
        size_t length = strcspn(p, separators);
        // Lines and fields hold at most kPathSize - 1 bytes, so a token always fits; a longer
        // caller's text would be cut here rather than overrun the field.
        size_t kept = length < kPathSize ? length : kPathSize - 1;
        memcpy(fields_[count], p, kept);
        fields_[count][kept] = '\0';
        TrimBlanks(fields_[count]);
        ++count;
        p += length;
    }
    return count;
}

char* Tokenizer::CopyField(int k) const {
    char* copy = DuplicateString(fields_[k]);
    if (copy == nullptr && onOutOfMemory_ != nullptr) onOutOfMemory_();
    return copy;
}

bool Tokenizer::IsKeyword(const char* keyword) const {
    return EqualsIgnoringCase(fields_[0], keyword);
}

bool Tokenizer::AssignKeyword(const char* keyword, char** target) const {
    if (!IsKeyword(keyword)) return false;
    free(*target);
    *target = CopyField(1);
    return true;
}

bool Tokenizer::CopyKeyword(const char* keyword, char* buffer, size_t size) const {
    if (!IsKeyword(keyword)) return false;
    CopyString(buffer, size, fields_[1]);
    return true;
}

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    }
    return *a == *b;
}
