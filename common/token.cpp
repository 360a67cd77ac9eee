// The line splitter of the setup script (portable).
#include "token.h"

#include <stdlib.h>
#include <string.h>

// The separators used ("=", ",", ">") are below 0x40 and can never be the second byte of
// a Shift-JIS character, so a byte scan is safe here.
int CutFields(const char* text, const char* separators, char* first, char* second, int maxCount) {
    // A working copy: text may be one of the two fields. Lines and fields hold at most
    // kPathSize - 1 bytes, so the copy takes them whole.
    char work[kPathSize];
    size_t textLength = strlen(text);
    if (textLength >= kPathSize) textLength = kPathSize - 1;
    memcpy(work, text, textLength);
    work[textLength] = '\0';

    char* fields[2] = {first, second};
    first[0] = '\0';
    second[0] = '\0';
    int count = 0;
    const char* p = work;
    while (count < maxCount) {
        p += strspn(p, separators);
        if (*p == '\0') break;
        size_t length = strcspn(p, separators);
        if (count < 2) {
            memcpy(fields[count], p, length);
            fields[count][length] = '\0';
            TrimBlanks(fields[count]);
        }
        ++count;
        p += length;
    }
    return count;
}

// Counting one token beyond the two kept tells whether text was dropped; the fields are
// the same either way.
int Tokenizer::Split(const char* line, const char* separators) {
    int count = CutFields(line, separators, fields_[0], fields_[1], 3);
    dropped_ = count > 2;
    return dropped_ ? 2 : count;
}

char* Tokenizer::CopyField(int k) const {
    char* copy = DuplicateString(fields_[k]);
    if (copy == nullptr && onOutOfMemory_ != nullptr) onOutOfMemory_();
    return copy;
}

bool Tokenizer::IsKeyword(const char* keyword) const {
    return SameTextAnyCase(fields_[0], keyword);
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

