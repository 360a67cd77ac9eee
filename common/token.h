// The line splitter of the setup script. Portable.
#ifndef ZELK_COMMON_TOKEN_H
#define ZELK_COMMON_TOKEN_H

#include <stddef.h>
#include "textsub.h"

// Called when a heap copy of a field cannot be made; each program shows its message.
using OutOfMemoryHandler = void (*)();

class Tokenizer {
public:
    explicit Tokenizer(OutOfMemoryHandler onOutOfMemory = nullptr) : onOutOfMemory_(onOutOfMemory) {}

    // Cuts line into tokens at any of the separator characters (runs of separators make no
    // empty token), trims blanks and tabs of each and keeps the first two as fields 0 and 1.
    // Returns the number of fields kept: 0, 1 or 2.
    int Split(const char* line, const char* separators);
    // True when the last Split found a third token, which it dropped.
    bool Dropped() const { return dropped_; }

    // Heap copy of field k, or null (after the out-of-memory handler) when memory runs out.
    char* CopyField(int k) const;
    const char* FieldText(int k) const { return fields_[k]; }

    // True when field 0 equals keyword, compared without regard to ASCII case.
    bool IsKeyword(const char* keyword) const;
    // On a match: frees *target and stores a copy of field 1 there.
    bool AssignKeyword(const char* keyword, char** target) const;
    // On a match: copies field 1 into buffer (cut to fit is never done: an over-long value
    // leaves the buffer empty).
    bool CopyKeyword(const char* keyword, char* buffer, size_t size) const;

private:
    OutOfMemoryHandler onOutOfMemory_;
    char fields_[2][kPathSize] = {};
    bool dropped_ = false;
};

// The cutting shared by Tokenizer::Split and the record reader's SplitFields: tokens as
// strtok makes them, each trimmed of blanks and tabs; the first two go to first and second
// (kPathSize bytes each). Counts at most maxCount tokens and returns the count.
int CutFields(const char* text, const char* separators, char* first, char* second, int maxCount);

#endif
